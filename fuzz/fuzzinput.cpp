#include "fuzzinput.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace fuzz {

namespace {

std::filesystem::path makeFolder()
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::filesystem::path folder = base / ("pivotwizard-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

const std::filesystem::path& folder()
{
    static const std::filesystem::path made = [] {
        std::filesystem::path path = makeFolder();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder(), ignored);
        });
        return path;
    }();
    return made;
}

}  // namespace

std::filesystem::path inputFile(std::string_view name, const uint8_t* data, size_t size)
{
    const std::filesystem::path file = folder() / std::string(name);
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
    return file;
}

}  // namespace fuzz
