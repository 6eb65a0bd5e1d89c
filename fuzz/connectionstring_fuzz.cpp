// Pivot cache connection strings, taken apart.
#include "fuzzinput.h"

#include "platform/core/failure.h"
#include "sheet/pivot/pivotconnection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        static_cast<void>(sheet::pivot::parseConnection(std::string(fuzz::text(data, size))));
    } catch (const platform::Failure&) {
    }
    return 0;
}
