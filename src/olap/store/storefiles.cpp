#include "olap/store/storefiles.h"

#include "platform/core/failure.h"
#include "platform/core/safewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace olap {

namespace {

int32_t numberForErrno(int code)
{
    switch (code) {
    case ENOENT: return platform::err::kFileNotFound;
    case ENOTDIR: return platform::err::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS: return platform::err::kPermissionDenied;
    case ENOSPC:
    case EDQUOT: return platform::err::kDiskFull;
    default: return platform::err::kPathFileAccess;
    }
}

[[noreturn]] void systemFailure(const std::filesystem::path& file, const char* doing, int code)
{
    platform::setLastPlatformError(code);
    storeFailure(numberForErrno(code), file, std::string(doing) + " (" + std::strerror(code) + ")");
}

}  // namespace

void storeFailure(int32_t number, const std::filesystem::path& file, const std::string& problem)
{
    throw platform::Failure(number, file.string() + ": " + problem, "olap");
}

std::string readWholeFile(const std::filesystem::path& file, uint64_t maxBytes)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        systemFailure(file, "cannot open the file", errno);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int code = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(fd);
        systemFailure(file, "cannot read the file", code ? code : EINVAL);
    }
    if (uint64_t(status.st_size) > maxBytes) {
        ::close(fd);
        storeFailure(platform::err::kPathFileAccess, file, "the file is too large to be a store file");
    }
    std::string bytes(size_t(status.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    const int code = errno;
    ::close(fd);
    if (done != bytes.size())
        systemFailure(file, "cannot read the file", code ? code : EIO);
    return bytes;
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    try {
        platform::replaceFile(file, bytes);
    } catch (const platform::Failure& failure) {
        systemFailure(file, "cannot write the file", failure.lastDllError() ? failure.lastDllError() : EIO);
    }
}

std::string applicationFolder(std::string_view applicationPath)
{
    std::string folder(applicationPath);
    for (char& c : folder) {
        if (c == '\\')
            c = '/';
    }
    // A trailing separator names no component of its own: "/opt/app/" is the
    // path of "app", whose folder is "/opt/".
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    const size_t last = folder.find_last_of('/');
    folder.resize(last == std::string::npos ? 0 : last + 1);
    return folder;
}

std::filesystem::path storeFile(std::string_view applicationPath, std::string_view storeCubeName,
                                std::string_view extension)
{
    std::string path = applicationFolder(applicationPath);
    path += storeCubeName;
    path += extension;
    return std::filesystem::path(path);
}

}  // namespace olap
