// Profile (INI) files: a section listed, values and numbers read, and one
// value written back into the file.
#include "fuzzinput.h"

#include "platform/services/iniprofile.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.ini", data, size);
    std::vector<char> buffer(256);
    static_cast<void>(platform::readProfileSection(file, "Settings", buffer));
    static_cast<void>(platform::readProfileString(file, "Settings", "Name", "none", 64));
    static_cast<void>(platform::readProfileInt(file, "Settings", "Count", 7));
    static_cast<void>(platform::writeProfileString(file, "Settings", "Name", "fuzz"));
    static_cast<void>(platform::readProfileString(file, "Settings", "Name", "none", 64));
    return 0;
}
