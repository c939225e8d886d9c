/* A record of a negative line is skipped: no finding at it, and the
   #include before the first declaration stays in place. */
#include <stdio.h>

int count;
