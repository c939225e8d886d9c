#define lower_here 1
