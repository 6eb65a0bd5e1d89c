#include "platform/core/fileio.h"

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
