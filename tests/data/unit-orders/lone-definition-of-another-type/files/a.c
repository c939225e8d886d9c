#define BODY ;
#include "h.h"
