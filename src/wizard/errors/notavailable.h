// The failure of a procedure whose work this build does not do yet. It goes
// through the error trap like any failure, so nothing pretends to succeed.
#pragma once

#include "platform/failure.h"

#include <string>

[[noreturn]] inline void failNotAvailable(const char* procedure)
{
    throw platform::Failure(platform::err::kNotSupported,
                            std::string(procedure) + " is not available in this build of the wizard");
}
