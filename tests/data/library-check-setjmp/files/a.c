#include "inc/setjmp.h"
#define HDR setjmp.h
jmp_buf env;
int f(void) { int x = setjmp(env); return x; }
/* setjmp */ const char *m = "setjmp";
#define SAVE(e) setjmp(e)
