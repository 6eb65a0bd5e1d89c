// The host's chart engine: Charts.Add makes a chart sheet showing the pivot
// table under the active sheet's selection; Location, Cut and Paste move the
// chart between chart sheets and worksheets; saving writes every chart as a
// clustered column chart of its table's visible values.
#pragma once

#include "sheet/host/extensions.h"

#include <memory>

namespace sheet {

// A new chart engine, for HostApplication::setEngines. One engine serves
// every workbook of its application.
std::shared_ptr<ChartEngine> makeChartEngine();

}  // namespace sheet
