long b;
#include "a.c"
