#include "sheettestsupport.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace sheettest {

std::vector<std::string> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path dataFolder()
{
    return SHEET_TEST_DATA;
}

// The parts are files in fixture/, those of the pivot table in fixture-pivot/
// (the workbook, its links and content types replaced).
Parts fixtureParts(const FixtureOptions& options)
{
    Parts parts;
    for (const char* folder : {"fixture", "fixture-pivot"}) {
        const std::filesystem::path root = dataFolder() / folder;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                parts[entry.path().lexically_relative(root).generic_string()] = textOf(entry.path());
        }
        if (!options.pivotTable)
            break;
    }
    return parts;
}

void writeZip(const std::filesystem::path& file, const Parts& parts)
{
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    std::vector<std::string> order;
    if (parts.count("[Content_Types].xml"))
        order.push_back("[Content_Types].xml");
    for (const auto& [name, bytes] : parts) {
        if (name != "[Content_Types].xml")
            order.push_back(name);
    }
    for (const auto& name : order) {
        const std::string& bytes = parts.at(name);
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << name;
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

std::map<std::string, StoredEntry> readZip(const std::filesystem::path& file)
{
    std::map<std::string, StoredEntry> entries;
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(zip, nullptr) << file;
    if (!zip)
        return entries;
    const auto readAll = [&](zip_uint64_t index, zip_flags_t flags) {
        zip_file_t* entry = zip_fopen_index(zip, index, flags);
        std::string bytes;
        char buffer[8192];
        for (zip_int64_t n; entry && (n = zip_fread(entry, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, static_cast<size_t>(n));
        if (entry)
            zip_fclose(entry);
        return bytes;
    };
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st);
        StoredEntry& entry = entries[st.name];
        entry.data = readAll(static_cast<zip_uint64_t>(i), 0);
        entry.compressed = readAll(static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
        entry.crc = st.crc;
        entry.method = st.comp_method;
    }
    zip_discard(zip);
    return entries;
}

void expectRefusals(const std::vector<Refusal>& refusals)
{
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.label);
        const auto failure = failureOf(refusal.call);
        EXPECT_EQ(failure.number(), refusal.number);
        EXPECT_EQ(failure.source(), "sheet");
        EXPECT_NE(failure.description().find(refusal.says), std::string::npos) << failure.description();
    }
}

void expectUnchangedBut(const std::map<std::string, StoredEntry>& before, const std::filesystem::path& file,
                        const std::set<std::string>& changed)
{
    const auto after = readZip(file);
    for (const auto& [name, entry] : before) {
        if (changed.count(name))
            continue;
        ASSERT_TRUE(after.count(name)) << name << " is missing";
        EXPECT_EQ(after.at(name).data, entry.data) << name;
        EXPECT_EQ(after.at(name).compressed, entry.compressed) << name;
        EXPECT_EQ(after.at(name).crc, entry.crc) << name;
        EXPECT_EQ(after.at(name).method, entry.method) << name;
    }
}

int convertToCsv(const std::string& soffice, const std::filesystem::path& workbook, const std::filesystem::path& out,
                 const std::filesystem::path& profile)
{
    // Separator ",", quote '"', UTF-8, from line 1, no column types, default
    // language, texts unquoted, numbers detected, cells as shown (so number
    // formats count), no formulas, spaces kept, every sheet to its own file.
    const std::string filter = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1";
    const std::string command = "'" + soffice + "' -env:UserInstallation=file://" + profile.string()
                                + " --headless --norestore --convert-to '" + filter + "' --outdir '" + out.string()
                                + "' '" + workbook.string() + "' > '" + (out / "soffice.log").string() + "' 2>&1";
    return std::system(command.c_str());
}

CsvGrid csvGrid(const std::string& text)
{
    CsvGrid grid;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string>& row = grid.emplace_back();
        std::string field;
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                row.push_back(std::exchange(field, {}));
            else if (c != '\r' && c != ',')
                field += c;
        }
        row.push_back(field);
    }
    return grid;
}

std::string reportValue(const CsvGrid& cells, const std::string& row, const std::string& column)
{
    for (size_t r = 0; r < cells.size(); ++r)
        for (size_t labelAt = 0; labelAt < cells[r].size(); ++labelAt)
            for (size_t h = 0; cells[r][labelAt] == row && h < r; ++h)
                for (size_t c = labelAt + 1; c < cells[h].size(); ++c)
                    if (cells[h][c] == column)
                        return c < cells[r].size() ? cells[r][c] : std::string();
    return {};
}

}  // namespace sheettest
