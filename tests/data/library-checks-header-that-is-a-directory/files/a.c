unsigned u;
#include "inc/dir.h"
