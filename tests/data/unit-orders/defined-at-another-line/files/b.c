#define ONLY5
#define DEF2
#include "h.h"
