#include "platform/core/failure.h"

#include <cerrno>
#include <filesystem>
#include <ios>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <typeinfo>
#include <variant>

namespace platform {

namespace {

thread_local int32_t tLastPlatformError = 0;

int32_t numberForErrno(int code)
{
    switch (code) {
    case ENOENT: return err::kFileNotFound;
    case ENOTDIR: return err::kPathNotFound;
    case EEXIST: return err::kFileAlreadyExists;
    case ENOSPC:
    case EDQUOT: return err::kDiskFull;
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
    case EIO: return err::kDeviceUnavailable;
    case EACCES:
    case EPERM:
    case EROFS: return err::kPermissionDenied;
    default: return err::kPathFileAccess;
    }
}

std::string describe(int32_t number, const char* detail)
{
    std::string text(runtimeDescription(number));
    if (detail && *detail) {
        text += text.empty() ? "" : ": ";
        text += detail;
    }
    return text;
}

Failure fromSystemError(const std::system_error& e)
{
    const int code = e.code().value();
    const int32_t number = e.code().category() == std::generic_category()
                                   || e.code().category() == std::system_category()
                               ? numberForErrno(code)
                               : err::kPathFileAccess;
    return Failure(number, describe(number, e.what()), "pivotwizard", code);
}

}  // namespace

std::string_view runtimeDescription(int32_t number)
{
    switch (number) {
    case err::kInvalidCall: return "Invalid procedure call or argument";
    case err::kOverflow: return "Overflow";
    case err::kOutOfMemory: return "Out of memory";
    case err::kSubscript: return "Subscript out of range";
    case err::kTypeMismatch: return "Type mismatch";
    case err::kInternal: return "Internal error";
    case err::kBadFileName: return "Bad file name or number";
    case err::kFileNotFound: return "File not found";
    case err::kFileAlreadyExists: return "File already exists";
    case err::kDiskFull: return "Disk full";
    case err::kDeviceUnavailable: return "Device unavailable";
    case err::kPermissionDenied: return "Permission denied";
    case err::kPathFileAccess: return "Path/File access error";
    case err::kPathNotFound: return "Path not found";
    case err::kObjectNotSet: return "Object variable or With block variable not set";
    case err::kNotSupported: return "Object doesn't support this action";
    default: return {};
    }
}

int32_t lastPlatformError() { return tLastPlatformError; }
void setLastPlatformError(int32_t code) { tLastPlatformError = code; }

Failure::Failure(int32_t number, std::string description, std::string source, int32_t lastDllError)
    : mNumber(number), mDescription(std::move(description)), mSource(std::move(source)),
      mLastDllError(lastDllError)
{
}

InternalFailure::InternalFailure(std::string description, std::string source)
    : Failure(err::kInternal, describe(err::kInternal, description.c_str()), std::move(source))
{
}

Failure toFailure(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Failure& f) {
        return f;
    } catch (const std::system_error& e) {  // includes filesystem_error and ios_base::failure
        return fromSystemError(e);
    } catch (const std::out_of_range& e) {
        return Failure(err::kSubscript, describe(err::kSubscript, e.what()));
    } catch (const std::length_error& e) {
        return Failure(err::kSubscript, describe(err::kSubscript, e.what()));
    } catch (const std::overflow_error& e) {
        return Failure(err::kOverflow, describe(err::kOverflow, e.what()));
    } catch (const std::underflow_error& e) {
        return Failure(err::kOverflow, describe(err::kOverflow, e.what()));
    } catch (const std::invalid_argument& e) {
        return Failure(err::kTypeMismatch, describe(err::kTypeMismatch, e.what()));
    } catch (const std::bad_variant_access& e) {
        return Failure(err::kTypeMismatch, describe(err::kTypeMismatch, e.what()));
    } catch (const std::bad_cast& e) {
        return Failure(err::kTypeMismatch, describe(err::kTypeMismatch, e.what()));
    } catch (const std::bad_optional_access& e) {
        return Failure(err::kObjectNotSet, describe(err::kObjectNotSet, e.what()));
    } catch (const std::bad_alloc&) {
        return Failure(err::kOutOfMemory, describe(err::kOutOfMemory, nullptr));
    } catch (const std::exception& e) {
        return Failure(err::kInternal, describe(err::kInternal, e.what()));
    } catch (...) {
        return Failure(err::kInternal, describe(err::kInternal, "unknown exception"));
    }
}

}  // namespace platform
