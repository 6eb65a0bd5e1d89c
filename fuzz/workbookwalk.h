// What both workbook targets do with a package: open it as a user's workbook,
// visit what the host reads (sheets, their states, pivot tables and charts),
// save it under another name (every part copied or rewritten) and close it.
#pragma once

#include <filesystem>

namespace fuzz {

void walkWorkbook(const std::filesystem::path& file, const std::filesystem::path& saveAs);

}  // namespace fuzz
