typedef int jmp_buf[8];
int setjmp(jmp_buf env);
