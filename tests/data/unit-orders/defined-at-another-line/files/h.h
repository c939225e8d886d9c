#ifndef ONLY5
void Fn(void);
#endif
#ifdef DEF2
void Fn(void) {}
#endif
