#include <sys/time.h>
#include "time.h"
#include <Time.h>
#include <signal.h>
#include "inc/h.h"
#include <stdio.h>
