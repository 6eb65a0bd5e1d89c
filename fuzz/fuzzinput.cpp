#include "fuzzinput.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

namespace fuzz {

namespace {

constexpr std::string_view kPrefix = "pivotwizard-fuzz-";

// libFuzzer leaves with _Exit on an interrupt, a finding or a timeout, past
// the atexit that removes the folder: the folders of processes gone are
// removed when the next target starts, so that /dev/shm does not fill.
void removeFoldersOfEndedRuns(const std::filesystem::path& base)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0 || !entry.is_directory(error))
            continue;
        const long pid = std::strtol(name.c_str() + kPrefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            std::filesystem::remove_all(entry.path(), error);
    }
}

std::filesystem::path makeFolder()
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    removeFoldersOfEndedRuns(base);
    std::filesystem::path folder = base / (std::string(kPrefix) + std::to_string(::getpid()));
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
