typedef unsigned long ULONG;
unsigned long int x;
int main(int argc, char **argv) {
  static int main_count;
  unsigned flags : 3;
  unsigned : 4;
  typedef const unsigned char * P;
  return (int)x + long::y;
}
#define BYTE unsigned char
short a; long b;
unsigned
int z;
/* int in a comment */ char *s = "int";
