// Package::save: the write of a package through platform's SafeWrite. Nothing
// touches the target until a complete, flushed copy exists beside it, and the
// final rename replaces the target in one step.
#include "sheet/xlsx/package.h"

#include "sheet/failures.h"
#include "sheet/xlsx/partsource.h"

#include "platform/core/failure.h"
#include "platform/core/safewrite.h"

#include <set>

namespace sheet {

namespace {

[[noreturn]] void failSave(const std::filesystem::path& target, const std::string& reason, int systemError = 0)
{
    platform::setLastPlatformError(systemError);
    failApplication("'" + target.string() + "' could not be saved: " + reason
                    + "; the file on disk was left as it was");
}

// The safe write of `target`, its failure to start told as the save's.
platform::SafeWrite startSave(const std::filesystem::path& target)
{
    try {
        return platform::SafeWrite(target);
    } catch (const platform::Failure& failure) {
        failSave(target, failure.description(), failure.lastDllError());
    }
}

// Puts a byte copy of the current file in the temporary one, for libzip to
// change only the parts it is told to.
void copyCurrent(const std::filesystem::path& source, const platform::SafeWrite& write)
{
    std::error_code error;
    std::filesystem::copy_file(source, write.temporary(), std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        failSave(write.target(), "its current file cannot be copied (" + error.message() + ")", error.value());
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
    // A part the file holds is deleted and added anew rather than replaced:
    // libzip drops the compression level set on a replaced entry whose method
    // stays deflate, and then compresses it at its slowest level.
    if (const zip_int64_t existing = locateIn(zip, write.name); existing >= 0)
        zip_delete(zip, static_cast<zip_uint64_t>(existing));
    const zip_int64_t index = zip_file_add(zip, write.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        failSave(target, std::string("part ") + write.name + " cannot be added (" + zip_strerror(zip) + ")");
    }
    // The fastest deflate level: sheet XML is so repetitive that it still
    // shrinks about tenfold, at a third of the default level's time.
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
}

// A part's producer failed while libzip wrote the archive: its Failure
// becomes the save's failure; anything else (out of memory, a bug) goes on
// as it was thrown.
[[noreturn]] void failSaveFrom(const std::exception_ptr& failure, const std::filesystem::path& target)
{
    try {
        std::rethrow_exception(failure);
    } catch (const platform::Failure& cause) {
        failSave(target, cause.description());
    }
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
        const std::string reason = zip_strerror(zip);
        zip_discard(zip);
        if (failure)
            failSaveFrom(failure, target);
        failSave(target, reason);
    }
}

void Package::save(const std::filesystem::path& requested, const std::vector<PartWrite>& writes,
                   const std::vector<std::string>& removals)
{
    platform::SafeWrite write = startSave(requested);
    const std::filesystem::path& target = write.target();
    if (!mFile.empty())
        copyCurrent(mFile, write);
    writeArchive(write.temporary(), target, writes, removals);
    std::string unflushed;
    try {
        write.commit();
    } catch (const platform::Failure& failure) {
        if (!write.replaced())
            failSave(target, failure.description(), failure.lastDllError());
        unflushed = failure.description();
    }
    reopen(target);
    if (!unflushed.empty())
        failApplication("'" + target.string() + "' was saved, but may not survive a power loss: " + unflushed);
}

}  // namespace sheet
