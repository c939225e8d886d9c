/* A file with #include after its first declaration. */
#define LIMIT 10
#include <stdlib.h>

#include "sysinc/b.h"


extern int count;
int x;

#include <string.h>
#include <stdio.h>
