#include "m.c"
