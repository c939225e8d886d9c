#include <stdio.h>
