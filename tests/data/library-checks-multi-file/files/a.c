int a;
#include <stdio.h>
