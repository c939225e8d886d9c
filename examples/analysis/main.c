#include <stdio.h>

#define GREETING "hello"
#define max_count 3

typedef unsigned long Counter;

struct point {
  int x;
  int Y_pos;
};

enum color { RED, Green };

static int total;
int g_calls;

static int Add_values(int a, int b) {
  int Sum = a + b;
  return Sum;
}

int main(void) {
  printf("%s\n", GREETING);
  return Add_values(0, max_count) - 3;
}
