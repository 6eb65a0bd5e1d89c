// The pivot engine the host uses: pivot tables computed from cubes through
// the cube engine's providers.
#pragma once

#include "sheet/host/extensions.h"

#include <memory>

namespace sheet::pivot {

std::shared_ptr<PivotEngine> makeCubePivotEngine();

}  // namespace sheet::pivot
