#include "sheet/xlsx/package.h"

#include "sheet/xlsx/compoundfile.h"
#include "sheet/failures.h"

#include "platform/core/failure.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <system_error>

namespace sheet {

namespace {

[[noreturn]] void failOpen(const std::filesystem::path& file, const std::string& problem, int systemError = 0)
{
    platform::setLastPlatformError(systemError);
    failApplication("'" + file.string() + "' cannot be opened: " + problem);
}

std::string firstBytes(const std::filesystem::path& file, size_t count)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

void checkFile(const std::filesystem::path& file)
{
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status))
        failOpen(file, "the file does not exist", ENOENT);
    if (std::filesystem::is_directory(status))
        failOpen(file, "it is a folder, not a workbook file", EISDIR);
    if (!std::ifstream(file, std::ios::binary))
        failOpen(file, "the file cannot be read (" + std::generic_category().message(errno) + ")", errno);
    if (isCompoundFile(firstBytes(file, 8))) {
        if (holdsEncryptedPackage(file))
            failOpen(file, "the workbook is encrypted (protected by a password); save it without a password first");
        failOpen(file, "it is a compound file (a workbook in the older binary format), not an .xlsx package");
    }
}

std::string zipProblem(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP: return "it is not a zip package, so not an .xlsx workbook";
    case ZIP_ER_INCONS: return "the zip package is damaged (its directory is inconsistent)";
    default: {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string text = std::string("the zip package cannot be read (") + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
        return text;
    }
    }
}

// What a part of a workbook may inflate to. The largest sheets real programs
// write stay well below both; a package crafted to fill memory (a few
// megabytes that inflate to gigabytes) passes neither.
constexpr uint64_t kMaxPartBytes = uint64_t(1) << 30;
// Deflated XML shrinks about tenfold, rarely a hundredfold; tiny parts may
// shrink more, so the ratio counts only past the first megabyte.
constexpr uint64_t kMaxRatio = 200;
constexpr uint64_t kRatioFloor = uint64_t(1) << 20;

// Throws 1004 naming `part` when `inflated` bytes (declared or counted so far)
// from `stored` compressed bytes pass the caps above.
void checkInflation(const std::string& package, std::string_view part, uint64_t inflated, uint64_t stored)
{
    if (inflated > kMaxPartBytes) {
        failApplication("'" + package + "' cannot be read: its part " + std::string(part)
                        + " inflates to more than 1 GiB, more than any workbook part holds");
    }
    if (inflated > kRatioFloor && inflated / std::max<uint64_t>(stored, 1) > kMaxRatio) {
        failApplication("'" + package + "' cannot be read: its part " + std::string(part) + " inflates to more than "
                        + std::to_string(kMaxRatio) + " times its stored size, more than any workbook part does");
    }
}

}  // namespace

std::unique_ptr<Package> Package::open(const std::filesystem::path& file)
{
    checkFile(file);
    std::unique_ptr<Package> package(new Package);
    int code = 0;
    package->mZip = zip_open(file.c_str(), ZIP_RDONLY, &code);
    if (!package->mZip)
        failOpen(file, zipProblem(code), code == ZIP_ER_READ || code == ZIP_ER_OPEN ? errno : 0);
    package->mFile = file;
    return package;
}

std::unique_ptr<Package> Package::fromParts(std::map<std::string, std::string> parts)
{
    std::unique_ptr<Package> package(new Package);
    package->mMemory = std::move(parts);
    return package;
}

Package::~Package()
{
    if (mZip)
        zip_discard(mZip);
}

std::string Package::displayName() const
{
    return mFile.empty() ? std::string("(new workbook)") : mFile.string();
}

zip_int64_t Package::locate(std::string_view part) const
{
    if (!mZip)
        return -1;
    const std::string name(part);
    const zip_int64_t index = zip_name_locate(mZip, name.c_str(), 0);
    // Part names are case-insensitive in a package; zips written by some
    // programs differ in case from the names their relationships use.
    return index >= 0 ? index : zip_name_locate(mZip, name.c_str(), ZIP_FL_NOCASE);
}

bool Package::has(std::string_view part) const
{
    return mMemory.count(std::string(part)) > 0 || locate(part) >= 0;
}

std::string Package::read(std::string_view part) const
{
    if (const auto it = mMemory.find(std::string(part)); it != mMemory.end())
        return it->second;
    std::string bytes;
    // Room for the size the directory gives, once it passes the checks
    // stream() makes: a sheet of many megabytes is then not copied over and
    // over as it grows.
    zip_stat_t stat;
    zip_stat_init(&stat);
    const zip_int64_t index = locate(part);
    if (index >= 0 && zip_stat_index(mZip, static_cast<zip_uint64_t>(index), 0, &stat) == 0
        && (stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE)) {
        checkInflation(displayName(), part, stat.size, stat.comp_size);
        bytes.reserve(static_cast<size_t>(stat.size));
    }
    stream(part, [&](std::string_view chunk) {
        bytes.append(chunk);
        return true;
    });
    return bytes;
}

void Package::stream(std::string_view part, const std::function<bool(std::string_view)>& sink) const
{
    if (const auto it = mMemory.find(std::string(part)); it != mMemory.end()) {
        sink(it->second);
        return;
    }
    const zip_int64_t index = locate(part);
    if (index < 0)
        failApplication("'" + displayName() + "' has no part " + std::string(part));
    // The sizes in the zip's directory are checked before reading, and the
    // bytes as they come: the directory may understate them.
    zip_stat_t stat;
    zip_stat_init(&stat);
    const bool known = zip_stat_index(mZip, static_cast<zip_uint64_t>(index), 0, &stat) == 0
                       && (stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE);
    const uint64_t stored = known ? stat.comp_size : 0;
    if (known)
        checkInflation(displayName(), part, stat.size, stored);
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entry(
        zip_fopen_index(mZip, static_cast<zip_uint64_t>(index), 0), zip_fclose);
    if (!entry) {
        failApplication("'" + displayName() + "' is damaged: its part " + std::string(part)
                        + " cannot be read (" + zip_strerror(mZip) + ")");
    }
    std::string buffer(1 << 16, '\0');
    uint64_t inflated = 0;
    for (;;) {
        const zip_int64_t count = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (count < 0) {
            failApplication("'" + displayName() + "' is damaged: its part " + std::string(part)
                            + " cannot be read (" + zip_file_strerror(entry.get()) + ")");
        }
        inflated += static_cast<uint64_t>(count);
        if (known || inflated > kMaxPartBytes)
            checkInflation(displayName(), part, inflated, known ? stored : inflated);
        if (count == 0 || !sink(std::string_view(buffer.data(), static_cast<size_t>(count))))
            break;
    }
}

void Package::reopen(const std::filesystem::path& file)
{
    int code = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY, &code);
    if (!zip)
        failApplication("'" + file.string() + "' was saved but cannot be opened again: " + zipProblem(code));
    if (mZip)
        zip_discard(mZip);
    mZip = zip;
    mFile = file;
    mMemory.clear();
}

}  // namespace sheet
