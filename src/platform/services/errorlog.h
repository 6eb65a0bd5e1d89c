// The error log: one text file that collects a record for every unexpected
// failure the user reported. Records are only ever appended.
//
// Record format, every line ended by CR LF; each label is padded to 15
// characters so that its colon stands in column 16:
//
//   Date & Time    : <local date and time, as the user's system writes it>
//   Date Compiled  : <the build's time stamp, day/month/year h:m:s>
//   Build          : <major.minor.revision>
//   Module         : <module of the failing procedure>
//   Procedure      : <its signature>
//   Number         : <error number, decimal, "-" when negative>
//   Description    : <the failure's description>
//   Last DLL Error : <last platform error code, decimal>
//   Source         : <the component that raised the failure>
//   Description    : <what the user says they were doing>
//   ------------------------------------------------   (48 hyphens)
//
// Line breaks inside a value (CR, LF or CR LF) are written as CR LF, so a
// description of several lines continues on the following lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The log's place below the install directory.
inline constexpr std::string_view kErrorLogFolder = "Error Logs";
inline constexpr std::string_view kErrorLogName = "BWError.log";

struct ErrorRecord {
    std::string dateTime;        // as the caller formats it
    std::string dateCompiled;
    std::string build;
    std::string module;
    std::string procedure;
    int32_t number = 0;
    std::string description;
    int32_t lastDllError = 0;
    std::string source;
    std::string userDescription;
};

// Lines 1 to 9 of the record (everything up to "Source"), each ended by CR LF.
std::string errorFieldLines(const ErrorRecord& record);

// The whole record: the field lines, the user's description and the rule.
std::string errorRecordText(const ErrorRecord& record);

// `text` with every CR, LF and CR LF turned into CR LF.
std::string withCrLf(std::string_view text);

// Appends the record to the log `file`, creating the file and its folder
// (that one folder, not the folders above it) when they do not exist. The
// record is added whole or not at all, after every earlier record; records
// that several processes append at the same time are all kept, none mixed
// into another. Throws Failure (naming the file) when the folder or the log
// cannot be written: a missing folder, a read-only log, a full disk.
void appendErrorRecord(const std::filesystem::path& file, const ErrorRecord& record);

}  // namespace platform
