/* Reading the sensors; a read out of range is reported through errno. */
#include "sensor.h"

#include <errno.h>
#include <stddef.h>
#include <time.h>

struct SensorState g_sensors[SENSOR_COUNT];
static Tick lastReset;

reading_t sensorRead(int index) {
  if (index < 0 || index >= SENSOR_COUNT) {
    errno = EDOM;
    return -1;
  }
  g_sensors[index].Last_tick = (Tick)time(NULL);
  return g_sensors[index].lastValue;
}

int Sensor_reset(void) {
  size_t offset = offsetof(struct SensorState, Last_tick);
  lastReset = (Tick)time(NULL);
  return (int)offset;
}
