#include <stdio.h>

#define GREETING "hello"

int main(void) {
  printf("%s\n", GREETING);
  return 0;
}
