// The command-line report builder's whole behaviour, as a function so tests
// run it without starting a process (docs/pivotreport.md):
//
//   pivotreport build DEFINITION.json [--output BOOK.xlsx] [--sheet NAME] [--cell A1] [--format csv|json]
//   pivotreport refresh BOOK.xlsx [--report NAME] [--format csv|json]
//   pivotreport list BOOK.xlsx
//   pivotreport export BOOK.xlsx --report NAME
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace sheet::report {

inline constexpr int kReportDone = 0;
inline constexpr int kReportBadInput = 1;  // the message names the file, and the member or field
inline constexpr int kReportUsage = 2;

// Runs the command with `arguments` (without the program name). Results go
// to `out`; progress and problems to `err` ("pivotreport: error: ...").
// Never throws for bad input or arguments.
int runPivotReportCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace sheet::report
