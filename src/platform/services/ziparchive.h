// A zip archive of whole files, made in four steps: create it with a file
// name, add files, write it, release it (destroy the object).
//
// Entry names are the files' own names without their folders. Names are
// compared without regard to letter case, both when a file is looked up on
// disk ("Error Logs/screenshot.bmp" finds "Error Logs/screenShot.bmp") and
// when an entry is added (a second "SCREENSHOT.BMP" replaces the first).
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

class ZipArchive {
public:
    // Nothing is written until write(). Requires: `file` is not empty.
    explicit ZipArchive(std::filesystem::path file);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    const std::filesystem::path& file() const { return mFile; }

    // Reads the file at `path` now (so it may go away before write()) and
    // adds it under its file name, keeping its modification time.
    // Throws Failure 53 when the file does not exist, or another Failure
    // when it cannot be read; the archive is then unchanged.
    void addFile(const std::filesystem::path& path);

    // The entries added so far, in the order they were first added.
    std::vector<std::string> entryNames() const;

    // Writes the archive to file() through a SafeWrite, replacing a file of
    // that name; an archive without entries is written as a valid empty one.
    // Throws Failure (naming the file) when it cannot be written; no partial
    // file is left behind. May be called again after more files were added.
    void write() const;

private:
    struct Entry {
        std::string name;
        std::string data;
        std::time_t modified = 0;
    };
    std::filesystem::path mFile;
    std::vector<Entry> mEntries;
};

}  // namespace platform
