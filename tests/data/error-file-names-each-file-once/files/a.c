#include "inc/h.h"
#include <signal.h>
