#include "support/TestInstallation.h"

LYR_TEST_INSTALLATION();
