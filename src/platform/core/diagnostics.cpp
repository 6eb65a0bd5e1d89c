#include "platform/core/diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

bool diagnosticsEnabled()
{
    const char* value = std::getenv("PIVOTWIZARD_DIAGNOSTICS");
    return value && (std::string_view(value) == "1" || std::string_view(value) == "true");
}

void noteIgnoredFailure(std::string_view where, const Failure& failure)
{
    if (!diagnosticsEnabled())
        return;
    // One write per line, so lines of several threads or processes do not mix.
    const std::string line = "pivotwizard: ignored in " + std::string(where) + ": " + std::to_string(failure.number())
        + " " + failure.description() + " (" + failure.source() + ")\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform
