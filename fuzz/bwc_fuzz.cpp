// Store cube files (.BWC), read with and without the checksum.
#include "fuzzinput.h"

#include "olap/store/bwcfile.h"
#include "platform/core/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.BWC", data, size);
    for (const bool verify : {false, true}) {
        try {
            const olap::StoreCubeData cube = olap::readBwcFile(file, verify);
            static_cast<void>(olap::storeCubeProblem(cube));
        } catch (const platform::Failure&) {
        }
    }
    return 0;
}
