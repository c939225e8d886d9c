/* m.c, also included by n.c */

void Fn(void) {}
