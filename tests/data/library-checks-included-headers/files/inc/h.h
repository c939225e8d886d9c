#include "g.h"
short h;
