// A workbook package: the zip file of parts that an .xlsx file is. Reading
// goes straight to the zip (opening reads only its central directory); saving
// writes a complete new package beside the target and renames it over the
// target, copying every part it is not told to write without recompressing it.
#pragma once

#include <zip.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

// A part a save writes: its name and the function that makes its bytes. The
// function runs while the new package is being written; if it throws, the
// save fails and the target is left as it was.
struct PartWrite {
    std::string name;
    std::function<std::string()> produce;
};

class Package {
public:
    // Opens `file` read-only. Throws 1004 naming the file and the problem when
    // it is missing, a folder, an encrypted workbook or another compound file,
    // not a zip archive, or a damaged one. Never writes to the file.
    static std::unique_ptr<Package> open(const std::filesystem::path& file);
    // A package with no file yet, made of `parts` (name -> bytes).
    static std::unique_ptr<Package> fromParts(std::map<std::string, std::string> parts);
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // The file the package reads from; empty before its first save.
    const std::filesystem::path& file() const { return mFile; }
    // The file's path as descriptions show it ("Book1" style names come from
    // the caller; this is the path or "(new workbook)").
    std::string displayName() const;

    bool has(std::string_view part) const;
    // The bytes of `part`. Throws 1004 naming the file and part when it is
    // missing or cannot be decompressed, or inflates to more than 1 GiB or
    // (past its first megabyte) to more than 200 times its stored size.
    std::string read(std::string_view part) const;
    // Passes the bytes of `part` to `sink` in chunks, in order, until `sink`
    // returns false or the part ends. Throws as read() does.
    void stream(std::string_view part, const std::function<bool(std::string_view)>& sink) const;

    // Writes the package to `target`: the parts in `writes` (new or replacing),
    // without the parts in `removals`, and every other part copied unchanged.
    // The new package is written through platform's SafeWrite: to a temporary
    // file in the target's folder, flushed to disk and renamed over `target`
    // (a symbolic link's file, keeping its permissions) only when complete;
    // on any failure the temporary file is removed, `target` is untouched and
    // 1004 is thrown naming the target and the reason. On success the package
    // reads from `target` from then on. The one failure after the rename, a
    // folder that cannot be flushed, throws 1004 saying so once the package
    // already reads from the new file.
    void save(const std::filesystem::path& target, const std::vector<PartWrite>& writes,
              const std::vector<std::string>& removals);

private:
    Package() = default;
    zip_int64_t locate(std::string_view part) const;
    void writeArchive(const std::filesystem::path& temporary, const std::filesystem::path& target,
                      const std::vector<PartWrite>& writes, const std::vector<std::string>& removals) const;
    void reopen(const std::filesystem::path& file);

    std::filesystem::path mFile;
    zip_t* mZip = nullptr;                         // open read-only on mFile; null before a save
    std::map<std::string, std::string> mMemory;    // parts of a package not yet saved
};

}  // namespace sheet
