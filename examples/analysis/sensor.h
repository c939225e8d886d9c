/* Readings of the temperature sensors, shared by main.c and sensor.c. */
#ifndef SENSOR_H
#define SENSOR_H

#define SENSOR_COUNT 4
#define default_rate 10

typedef int reading_t;
typedef unsigned long Tick;

struct SensorState {
  reading_t lastValue;
  Tick Last_tick;
};

enum sensor_kind { KIND_AIR, KindWater };

extern struct SensorState g_sensors[SENSOR_COUNT];

reading_t sensorRead(int index);
int Sensor_reset(void);

#endif
