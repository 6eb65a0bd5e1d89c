// Package::save: the atomic write of a package. The order of the steps is
// what makes it safe: nothing touches the target until a complete, flushed
// copy exists beside it, and the final rename replaces the target in one step.
#include "sheet/xlsx/package.h"

#include "sheet/failures.h"
#include "sheet/xlsx/partsource.h"

#include "platform/core/failure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>

namespace sheet {

namespace {

[[noreturn]] void failSave(const std::filesystem::path& target, const std::string& reason, int systemError = 0)
{
    platform::setLastPlatformError(systemError);
    failApplication("'" + target.string() + "' could not be saved: " + reason
                    + "; the file on disk was left as it was");
}

std::string systemReason(int code)
{
    return std::strerror(code);
}

// Removes the temporary file unless the save got as far as renaming it.
struct TemporaryFile {
    std::filesystem::path path;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (!renamed && !path.empty()) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
};

mode_t fileMode(const std::filesystem::path& target, const std::filesystem::path& source)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 || (!source.empty() && ::stat(source.c_str(), &info) == 0))
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void copyBytes(int fd, const std::filesystem::path& source, const std::filesystem::path& target)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        failSave(target, "its current file cannot be read", errno);
    std::string buffer(1 << 20, '\0');
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const char* data = buffer.data();
        for (auto left = static_cast<size_t>(in.gcount()); left > 0;) {
            const ssize_t written = ::write(fd, data, left);
            if (written < 0)
                failSave(target, "writing the temporary file failed (" + systemReason(errno) + ")", errno);
            data += written;
            left -= static_cast<size_t>(written);
        }
    }
    if (in.bad())
        failSave(target, "its current file cannot be read", errno);
}

// Creates the temporary file beside `target`, holding a byte copy of `source`
// (when there is one) and the mode the target should have.
void prepareTemporary(TemporaryFile& temporary, const std::filesystem::path& target,
                      const std::filesystem::path& source)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        failSave(target, "no temporary file can be made in " + folder.string() + " (" + systemReason(errno) + ")", errno);
    temporary.path = pattern;
    const mode_t mode = fileMode(target, source);
    bool ok = ::fchmod(fd, mode) == 0;
    try {
        if (!source.empty())
            copyBytes(fd, source, target);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        failSave(target, "the temporary file cannot be written (" + systemReason(errno) + ")", errno);
}

zip_int64_t locateIn(zip_t* zip, const std::string& name)
{
    const zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
    return index >= 0 ? index : zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
}

void addPart(zip_t* zip, const PartWrite& write, std::exception_ptr* failure, const std::filesystem::path& target)
{
    zip_source_t* source = makePartSource(zip, write.produce, failure);
    if (!source)
        failSave(target, "out of memory");
    const zip_int64_t existing = locateIn(zip, write.name);
    zip_int64_t index = existing;
    if (existing >= 0 ? zip_file_replace(zip, static_cast<zip_uint64_t>(existing), source, 0) != 0
                      : (index = zip_file_add(zip, write.name.c_str(), source, ZIP_FL_ENC_UTF_8)) < 0) {
        zip_source_free(source);
        failSave(target, std::string("part ") + write.name + " cannot be added (" + zip_strerror(zip) + ")");
    }
    // The fastest deflate level: sheet XML is so repetitive that it still
    // shrinks about tenfold, at a third of the default level's time.
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
}

void syncPath(const std::filesystem::path& path, int flags)
{
    const int fd = ::open(path.c_str(), flags);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// What a part's producer threw, as a reason for the failure.
std::string describe(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "a part could not be made";
    }
}

std::filesystem::path resolvedTarget(const std::filesystem::path& target)
{
    std::error_code error;
    if (std::filesystem::is_symlink(target, error)) {
        const auto real = std::filesystem::canonical(target, error);
        if (!error)
            return real;
    }
    return target;
}

}  // namespace

// Fills the temporary copy with the new package: libzip writes the archive to
// its own temporary file beside ours and renames it over ours; parts not
// replaced are copied as they are stored, compressed bytes and all.
void Package::writeArchive(const std::filesystem::path& temporary, const std::filesystem::path& target,
                           const std::vector<PartWrite>& writes, const std::vector<std::string>& removals) const
{
    int code = 0;
    zip_t* zip = zip_open(temporary.c_str(), mFile.empty() ? ZIP_TRUNCATE : 0, &code);
    if (!zip)
        failSave(target, "the temporary copy cannot be opened as a zip package");
    std::exception_ptr failure;
    try {
        for (const auto& name : removals) {
            if (const zip_int64_t index = locateIn(zip, name); index >= 0)
                zip_delete(zip, static_cast<zip_uint64_t>(index));
        }
        std::set<std::string> written;
        for (const auto& write : writes) {
            addPart(zip, write, &failure, target);
            written.insert(write.name);
        }
        for (const auto& [name, bytes] : mMemory) {
            if (!written.count(name))
                addPart(zip, PartWrite{name, [text = bytes] { return text; }}, &failure, target);
        }
    } catch (...) {
        zip_discard(zip);
        throw;
    }
    if (zip_close(zip) != 0) {
        const std::string reason = failure ? describe(failure) : zip_strerror(zip);
        zip_discard(zip);
        failSave(target, reason);
    }
}

void Package::save(const std::filesystem::path& requested, const std::vector<PartWrite>& writes,
                   const std::vector<std::string>& removals)
{
    const std::filesystem::path target = resolvedTarget(requested);
    TemporaryFile temporary;
    prepareTemporary(temporary, target, mFile);
    writeArchive(temporary.path, target, writes, removals);
    syncPath(temporary.path, O_RDONLY);
    if (std::rename(temporary.path.c_str(), target.c_str()) != 0)
        failSave(target, "the new file cannot replace the old one (" + systemReason(errno) + ")", errno);
    temporary.renamed = true;
    syncPath(target.has_parent_path() ? target.parent_path() : ".", O_RDONLY | O_DIRECTORY);
    reopen(target);
}

}  // namespace sheet
