// How the spreadsheet host fails. Every failing call throws platform::Failure
// with the source "sheet" and a number, following the automation interface of
// a spreadsheet application:
//
//   9    subscript out of range: an index outside 1 .. Count, or a workbook or
//        worksheet name that no item of the collection has.
//   13   type mismatch: a variant array of the wrong shape (two dimensions
//        where one is needed, or the other way round).
//   91   object not set: a call that needs an object (the active workbook, a
//        parent that was closed) that is not there.
//   445  object doesn't support this action: a member that this object cannot
//        serve (a pivot table made by another program, a feature not built).
//   1004 application-defined or object-defined error: everything the user or
//        the caller got wrong that the host refuses: a bad file, a range
//        address that is not one, an invalid or duplicate sheet name, a pivot
//        table over another, an unknown pivot or cube field name, a member the
//        cube lacks, a value outside a property's allowed set, a failed save.
//
// Descriptions say what was asked and why it failed, naming the file, sheet,
// field or address concerned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sheet {

inline constexpr const char* kFailureSource = "sheet";

namespace err {
inline constexpr int32_t kSubscript = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kNotSupported = 445;
inline constexpr int32_t kApplicationDefined = 1004;
}  // namespace err

// Throws platform::Failure(number, description, "sheet"). The last platform
// error recorded on this thread travels with it.
[[noreturn]] void fail(int32_t number, std::string description);

// 1004 with `description`.
[[noreturn]] void failApplication(std::string description);

// 9: "Subscript out of range (<what>)".
[[noreturn]] void failSubscript(std::string_view what);

// 13: "Type mismatch (<what>)".
[[noreturn]] void failTypeMismatch(std::string_view what);

// 91: "Object variable or With block variable not set (<what>)".
[[noreturn]] void failObjectNotSet(std::string_view what);

// 445: "Object doesn't support this action (<what>)".
[[noreturn]] void failNotSupported(std::string_view what);

// The refusals that pivot tables and ranges share, spelled once (all 1004).
[[noreturn]] void failBadAddress(std::string_view address);
[[noreturn]] void failUnknownField(std::string_view collection, std::string_view name);
[[noreturn]] void failPivotTableOverlap(std::string_view newName, std::string_view existingName);
[[noreturn]] void failUnknownMember(std::string_view field, std::string_view member);

}  // namespace sheet
