// The rules for sheet names: what a name may be, when two names clash, and
// the name a new sheet gets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

inline constexpr size_t kMaxSheetNameLength = 31;

// Why `name` cannot name a sheet, or nullopt when it can: not empty, at most
// 31 characters (counted as Unicode code points of the UTF-8 text), none of
// [ ] : * ? / \, not starting or ending with an apostrophe.
std::optional<std::string> sheetNameProblem(std::string_view name);

// Whether two sheet names are the same name: sheet names are compared
// without regard to case (ASCII letters; other characters must be equal).
bool sameSheetName(std::string_view a, std::string_view b);

// "Sheet<n>" with n one above the highest n that a name of the form
// "Sheet<n>" in `taken` uses (1 when none does).
std::string nextSheetName(const std::vector<std::string>& taken);

}  // namespace sheet
