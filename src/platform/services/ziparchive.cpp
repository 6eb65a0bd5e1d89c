#include "platform/services/ziparchive.h"

#include "platform/core/fileio.h"
#include "platform/core/safewrite.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>

namespace platform {

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::time_t modificationTime(const std::filesystem::path& path)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error)
        return std::time(nullptr);
    return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
}

// A zip error as a Failure: system errors keep their number, the library's
// own errors are access errors with the library's text.
Failure zipFailure(zip_error_t* error, const std::string& what)
{
    if (zip_error_system_type(error) == ZIP_ET_SYS)
        return systemFailure(zip_error_code_system(error), what);
    return Failure(err::kPathFileAccess, std::string(runtimeDescription(err::kPathFileAccess)) + ": " + what + ": "
                                             + zip_error_strerror(error));
}

// The end-of-central-directory record of an archive without entries, written
// by hand: libzip removes an archive that ends up empty instead of writing one.
constexpr char kEmptyArchive[22] = {'P', 'K', 5, 6};

}  // namespace

ZipArchive::ZipArchive(std::filesystem::path file) : mFile(std::move(file)) {}

ZipArchive::~ZipArchive() = default;

void ZipArchive::addFile(const std::filesystem::path& path)
{
    const std::filesystem::path found = findIgnoringCase(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(found, error))
        throw systemFailure(ENOENT, "adding '" + path.string() + "' to the archive '" + mFile.string() + "'");
    Entry entry{path.filename().string(), readFile(found), modificationTime(found)};
    const auto same = std::find_if(mEntries.begin(), mEntries.end(),
                                   [&](const Entry& e) { return sameName(e.name, entry.name); });
    if (same != mEntries.end())
        *same = std::move(entry);
    else
        mEntries.push_back(std::move(entry));
}

std::vector<std::string> ZipArchive::entryNames() const
{
    std::vector<std::string> names;
    for (const Entry& entry : mEntries)
        names.push_back(entry.name);
    return names;
}

void ZipArchive::write() const
{
    if (mEntries.empty())
        return replaceFile(mFile, std::string_view(kEmptyArchive, sizeof kEmptyArchive));
    SafeWrite file(mFile);
    const std::string what = "writing the archive '" + mFile.string() + "'";
    int code = 0;
    zip_t* archive = zip_open(file.temporary().c_str(), ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const Failure failure = zipFailure(&error, what);
        zip_error_fini(&error);
        throw failure;
    }
    for (const Entry& entry : mEntries) {
        // The buffers belong to this object and outlive zip_close below.
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            const Failure failure = zipFailure(zip_get_error(archive), what);
            zip_discard(archive);
            throw failure;
        }
        zip_file_set_mtime(archive, zip_uint64_t(index), entry.modified, 0);
    }
    // zip_close writes its own file beside ours and renames it over ours;
    // the commit then puts ours in place.
    if (zip_close(archive) != 0) {
        const Failure failure = zipFailure(zip_get_error(archive), what);
        zip_discard(archive);
        throw failure;
    }
    file.commit();
}

}  // namespace platform
