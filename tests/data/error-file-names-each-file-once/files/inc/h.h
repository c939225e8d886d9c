#include <signal.h>
