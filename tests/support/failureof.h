// The failure an action throws, for tests that expect one.
#pragma once

#include "platform/core/failure.h"

#include <gtest/gtest.h>

namespace testsupport {

// A test failure, and failure number 0, when `action` throws none.
template <class F>
platform::Failure failureOf(F&& action)
{
    try {
        action();
    } catch (const platform::Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "no failure";
    return platform::Failure(0, "no failure");
}

}  // namespace testsupport
