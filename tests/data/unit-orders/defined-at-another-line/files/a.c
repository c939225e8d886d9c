#define DEF2
#include "h.h"
