#include "local.h"
#include "../inc/h.h"
#include <q.h>
unsigned a;
