#include "platform/services/tempfile.h"

#include "platform/core/failure.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace platform {

namespace {

// Name clashes are rare with 32 random bits; retrying a few times only
// matters when a folder is flooded with our files.
constexpr int kAttempts = 100;

std::string hexNumber(uint32_t number)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", number);
    return text;
}

}  // namespace

std::filesystem::path tempFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path("/tmp");
}

std::filesystem::path createTempFile(std::string_view prefix)
{
    // Drawn from the system's entropy source on every call, so that forked
    // processes do not replay the same sequence of names.
    std::random_device random;
    std::uniform_int_distribution<uint32_t> numbers;
    const std::filesystem::path folder = tempFolder();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::filesystem::path candidate = folder / (std::string(prefix) + hexNumber(numbers(random)) + ".tmp");
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            break;
    }
    setLastPlatformError(errno);
    return {};
}

}  // namespace platform
