/* Polls the sensors and prints their readings; an alarm restarts the poll. */
#include <setjmp.h>
#include <stdio.h>

#include "sensor.h"

static jmp_buf s_restart;
int pollCount;

#include <signal.h>

static void On_alarm(int signalNumber) {
  (void)signalNumber;
  longjmp(s_restart, 1);
}

int main(void) {
  volatile int _retries = 0;
  if (setjmp(s_restart) != 0 && ++_retries > 3)
    return 1;
  signal(SIGALRM, On_alarm);
  for (reading_t i = 0; i < SENSOR_COUNT; ++i)
    printf("sensor %d: %d\n", i, sensorRead(i));
  ++pollCount;
  return Sensor_reset() < 0;
}
