#include "platform/services/errorlog.h"

#include "platform/core/fileio.h"

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
    const bool exists = std::filesystem::exists(file, error);
    // The rename would replace a log the user may not write to; refuse as
    // writing into it would.
    if (exists && ::access(file.c_str(), W_OK) != 0)
        throw systemFailure(errno, "writing the error log '" + file.string() + "'");
    std::string content = exists ? readFile(file) : std::string();
    content += errorRecordText(record);
    if (!replaceFile(file, content))
        throw systemFailure(lastPlatformError(), "writing the error log '" + file.string() + "'");
}

}  // namespace platform
