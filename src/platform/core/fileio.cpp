#include "platform/core/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace platform {

namespace {

mode_t creationMask()
{
    // umask() can only be read by setting it, which would race with other
    // threads creating files; the kernel reports it here instead.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

bool fail(int error)
{
    setLastPlatformError(error);
    return false;
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool writeAll(int fd, std::string_view content)
{
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        written += size_t(n);
    }
    return true;
}

bool replaceFile(std::filesystem::path target, const std::string& content)
{
    std::error_code ignored;
    if (std::filesystem::is_symlink(target, ignored))
        target = std::filesystem::weakly_canonical(target, ignored);
    struct stat existing {};
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~creationMask();

    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    const bool complete = writeAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !complete || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int cause = complete ? errno : error;
        ::unlink(temporary.c_str());
        return fail(cause);
    }
    // Make the rename itself survive a power loss.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::string readFile(const std::filesystem::path& file)
{
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    if (in)
        content << in.rdbuf();
    if (!in || in.bad())
        throw systemFailure(errno ? errno : EIO, "reading '" + file.string() + "'");
    return std::move(content).str();
}

Failure systemFailure(int code, const std::string& what)
{
    const Failure mapped = toFailure(std::make_exception_ptr(std::system_error(code, std::generic_category())));
    std::string description(runtimeDescription(mapped.number()));
    description += ": " + what + ": " + std::strerror(code);
    return Failure(mapped.number(), std::move(description), "pivotwizard", code);
}

std::filesystem::path findIgnoringCase(const std::filesystem::path& path)
{
    std::error_code error;
    if (path.empty() || std::filesystem::exists(path, error))
        return path;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string wanted = path.filename().string();
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (sameIgnoringCase(entry.path().filename().string(), wanted))
            return path.has_parent_path() ? entry.path() : entry.path().filename();
    }
    return path;
}

bool removeIgnoringCase(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::remove(findIgnoringCase(path), error);
}

}  // namespace platform
