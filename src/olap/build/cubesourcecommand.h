// The command-line cube builder's whole behaviour, as a function so tests can
// run it without starting a process: arguments in, files out, messages to
// the given streams.
//
//   cubebuilder [--check] [--quiet] DEFINITION.json OUTPUT.cub
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace olap {

// Exit codes of the command.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandBadInput = 1;   // the message names file, line and column
inline constexpr int kCommandUsage = 2;

// Runs the command with `arguments` (without the program name). Progress and
// the summary go to `out`, problems to `err` as "cubebuilder: error: ...".
// Never throws.
int runCubeBuilderCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace olap
