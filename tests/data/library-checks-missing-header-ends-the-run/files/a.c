unsigned u;
#include "inc/gone.h"
