#include <stddef.h>
struct S { int a; int b; };
int n = offsetof(struct S, a) + offsetof(struct S, b);
/* offsetof */ const char *m = "offsetof";
#define OFF(m) offsetof(struct S, m)
int offsetof_count; /* a comment over
offsetof lines */ int k = OFF(b);
