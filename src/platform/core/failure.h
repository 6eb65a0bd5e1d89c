// The one failure type of the libraries below the wizard, and the mapping of
// standard C++ exceptions onto the runtime error numbers that the error log
// and the report form speak.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace platform {

// Runtime error numbers used across the product. They are the numbers users
// and support staff already know from the original runtime.
namespace err {
inline constexpr int32_t kInvalidCall = 5;          // "Invalid procedure call or argument"
inline constexpr int32_t kOverflow = 6;             // "Overflow"
inline constexpr int32_t kOutOfMemory = 7;          // "Out of memory"
inline constexpr int32_t kSubscript = 9;            // "Subscript out of range"
inline constexpr int32_t kTypeMismatch = 13;        // "Type mismatch"
inline constexpr int32_t kInternal = 51;            // "Internal error"
inline constexpr int32_t kBadFileName = 52;         // "Bad file name or number"
inline constexpr int32_t kFileNotFound = 53;        // "File not found"
inline constexpr int32_t kFileAlreadyExists = 58;   // "File already exists"
inline constexpr int32_t kDiskFull = 61;            // "Disk full"
inline constexpr int32_t kDeviceUnavailable = 68;   // "Device unavailable"
inline constexpr int32_t kPermissionDenied = 70;    // "Permission denied"
inline constexpr int32_t kPathFileAccess = 75;      // "Path/File access error"
inline constexpr int32_t kPathNotFound = 76;        // "Path not found"
inline constexpr int32_t kObjectNotSet = 91;        // "Object variable or With block variable not set"
inline constexpr int32_t kNotSupported = 445;       // "Object doesn't support this action"
}  // namespace err

// The runtime's own description of an error number; empty for numbers it does not know.
std::string_view runtimeDescription(int32_t number);

// The code of the most recent failed platform call on this thread (errno-like;
// 0 when none failed). Failures capture it when they are made, so the report
// can show what the system said last.
int32_t lastPlatformError();
void setLastPlatformError(int32_t code);

// A failure the user can act on or must report: a bad file, a missing
// resource, an operation the system refused. Carries the four values that the
// error trap records.
class Failure : public std::exception {
public:
    Failure(int32_t number, std::string description, std::string source = "pivotwizard",
            int32_t lastDllError = lastPlatformError());

    int32_t number() const { return mNumber; }
    const std::string& description() const { return mDescription; }
    const std::string& source() const { return mSource; }
    int32_t lastDllError() const { return mLastDllError; }
    const char* what() const noexcept override { return mDescription.c_str(); }

private:
    int32_t mNumber;
    std::string mDescription;
    std::string mSource;
    int32_t mLastDllError;
};

// A broken invariant inside the product: a bug, never the user's doing.
class InternalFailure : public Failure {
public:
    explicit InternalFailure(std::string description, std::string source = "pivotwizard");
};

// Turns whatever was thrown into a Failure: a Failure stays as it is; standard
// exceptions get the runtime's number (out_of_range 9, bad casts and invalid
// arguments 13, overflow 6, bad_alloc 7, file system errors by their errno:
// missing 53, no device 68, denied 70, disk full 61); anything else is 51.
// Requires: `error` is not null.
Failure toFailure(const std::exception_ptr& error);

// Throws the runtime's "object not set" failure (91) when `object` is null.
template <class T>
T& requireObject(T* object, std::string_view what)
{
    if (!object) {
        throw Failure(err::kObjectNotSet,
                      std::string(runtimeDescription(err::kObjectNotSet)) + " (" + std::string(what) + ")");
    }
    return *object;
}

}  // namespace platform
