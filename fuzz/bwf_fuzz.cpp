// Store companion files (.bwf).
#include "fuzzinput.h"

#include "olap/store/storecompanion.h"
#include "platform/core/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.bwf", data, size);
    try {
        static_cast<void>(olap::readStoreCompanion(file));
    } catch (const platform::Failure&) {
    }
    return 0;
}
