// Reads a zip archive back for tests: entry names mapped to their content.
#pragma once

#include <zip.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// The archive's entries, or nothing when it is not a readable zip archive.
inline std::optional<std::map<std::string, std::string>> zipContents(const std::filesystem::path& file)
{
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return std::nullopt;
    std::map<std::string, std::string> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        std::string data(stat.size, '\0');
        if (zip_file_t* entry = zip_fopen_index(archive, zip_uint64_t(i), 0)) {
            zip_fread(entry, data.data(), data.size());
            zip_fclose(entry);
        }
        entries[stat.name] = data;
    }
    zip_discard(archive);
    return entries;
}
