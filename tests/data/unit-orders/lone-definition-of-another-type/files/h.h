/* Fn is declared or defined by BODY, and defined again under DEF2. */
void Fn(void) BODY

#ifdef DEF2
void Fn(void) {}
#endif
