// Failures the product deliberately goes on after (a registry call that ends
// with a status code, a pivot field the host refused on a last try) leave no
// trace for the user, by design. Whoever diagnoses a "nothing happened"
// report needs to see them: with PIVOTWIZARD_DIAGNOSTICS=1 in the environment
// each one is written to standard error, one line each.
#pragma once

#include "platform/core/failure.h"

#include <string_view>

namespace platform {

// Whether ignored failures are written out: PIVOTWIZARD_DIAGNOSTICS is "1"
// or "true". Read at every call; ignored failures are rare.
bool diagnosticsEnabled();

// Records that `failure` was caught and ignored in `where` (a procedure name).
void noteIgnoredFailure(std::string_view where, const Failure& failure);

}  // namespace platform
