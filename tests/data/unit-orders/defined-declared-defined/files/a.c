#define BODY ;
#include "h.h"
#undef BODY
#define BODY {}
#include "h.h"
