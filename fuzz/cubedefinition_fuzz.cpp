// Cube definitions (JSON with comments), parsed and checked.
#include "fuzzinput.h"

#include "olap/build/cubedefinition.h"
#include "platform/core/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        static_cast<void>(olap::parseCubeDefinition(fuzz::text(data, size), "/fuzz/definition.json"));
    } catch (const platform::Failure&) {
    }
    return 0;
}
