// Workbooks at the XML level: a well-formed package (the sheet tests'
// fixture workbook) with one part replaced by the input. The input's first
// byte chooses the part; the rest is its content.
#include "fuzzinput.h"
#include "workbookwalk.h"

#include <zip.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::pair<std::string, std::string>> readFixture()
{
    std::vector<std::pair<std::string, std::string>> parts;
    const std::filesystem::path root = PIVOTWIZARD_FIXTURE_WORKBOOK;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        parts.emplace_back(std::filesystem::relative(entry.path(), root).generic_string(), bytes.str());
    }
    // The same part for the same first byte on every machine.
    std::sort(parts.begin(), parts.end());
    return parts;
}

const std::vector<std::pair<std::string, std::string>>& fixture()
{
    static const auto parts = readFixture();
    return parts;
}

void writePackage(const std::filesystem::path& file, size_t replaced, std::string_view content)
{
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return;
    const auto& parts = fixture();
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string_view bytes = i == replaced ? content : std::string_view(parts[i].second);
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = source ? zip_file_add(zip, parts[i].first.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (source && index < 0)
            zip_source_free(source);
        // Stored, not deflated: the target fuzzes the XML, and zlib's set-up
        // for every part would take most of each run.
        if (index >= 0)
            zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    zip_close(zip);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || fixture().empty())
        return 0;
    const auto file = fuzz::inputFile("input.xlsx", nullptr, 0);
    writePackage(file, data[0] % fixture().size(), fuzz::text(data + 1, size - 1));
    fuzz::walkWorkbook(file, file.parent_path() / "saved.xlsx");
    return 0;
}
