#include <signal.h>
#include "inc/h.h"
