#include "platform/services/errorlog.h"

#include "platform/core/fileio.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform {

namespace {

constexpr size_t kLabelWidth = 15;

std::string line(std::string_view label, std::string_view value)
{
    std::string text(label);
    text.resize(kLabelWidth, ' ');
    return text + ": " + withCrLf(value) + "\r\n";
}

// Appends `text` to `file` so that it is there whole or not at all. O_APPEND
// puts each write at the end even when other processes append at the same
// time; the lock lets a write that stopped partway (a full disk) be cut off
// again without cutting off another process's record. 0, or the errno.
int appendWhole(const std::filesystem::path& file, std::string_view text)
{
    int fd = -1;
    do {
        fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno;
    int code = 0;
    while ((code = ::flock(fd, LOCK_EX) == 0 ? 0 : errno) == EINTR) {
    }
    struct stat before {};
    if (code == 0 && ::fstat(fd, &before) != 0)
        code = errno;
    if (code == 0 && (!writeAll(fd, text) || ::fsync(fd) != 0)) {
        code = errno;
        (void)!::ftruncate(fd, before.st_size);
    }
    ::close(fd);   // releases the lock
    return code;
}

}  // namespace

std::string withCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string errorFieldLines(const ErrorRecord& record)
{
    return line("Date & Time", record.dateTime) + line("Date Compiled", record.dateCompiled)
           + line("Build", record.build) + line("Module", record.module) + line("Procedure", record.procedure)
           + line("Number", std::to_string(record.number)) + line("Description", record.description)
           + line("Last DLL Error", std::to_string(record.lastDllError)) + line("Source", record.source);
}

std::string errorRecordText(const ErrorRecord& record)
{
    return errorFieldLines(record) + line("Description", record.userDescription) + std::string(48, '-') + "\r\n";
}

void appendErrorRecord(const std::filesystem::path& file, const ErrorRecord& record)
{
    const std::filesystem::path folder = file.parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        // Only the log's own folder: a missing install directory is an error
        // to report, not something to make up.
        std::filesystem::create_directory(folder, error);
        if (error)
            throw systemFailure(error.value(), "creating the folder '" + folder.string() + "'");
    }
    if (const int code = appendWhole(file, errorRecordText(record)); code != 0)
        throw systemFailure(code, "writing the error log '" + file.string() + "'");
}

}  // namespace platform
