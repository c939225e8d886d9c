// Test helper: empties what the external-variable, allocation, metric and
// control-graph readers keep for the whole run (their records, the metric
// store with its current entity and last file text, the graph being read),
// which the system itself never clears. Only tests use it.
#pragma once

#include "anlsrslt/readers/AllocRecord.h"
#include "anlsrslt/readers/ControlGraphRecord.h"
#include "anlsrslt/readers/ExternVarRecord.h"
#include "anlsrslt/readers/MetricRecord.h"

namespace test_support {

class RecordStoresReset {
public:
  static void resetAll() {
    externVarRecords().clear();
    allocRecords().clear();
    metricStore().clear();
    currentMetricEntity() = nullptr;
    handleMetricRecord("<S>STFIL"); // an empty last file text
    newGraphExpected() = true;
    currentControlGraph().release();
    controlGraphs().clear();
  }
};

} // namespace test_support
