#include "inc/errno.h"
int e = errno + errno;
/* errno */ const char *m = "errno";
#define CHECK(x) ((x) ? 0 : errno)
int errno_count;
