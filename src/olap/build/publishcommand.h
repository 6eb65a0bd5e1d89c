// The cube builder's publishing mode, as a function tests can run:
//
//   cubebuilder --publish URL[,URL...] [--database DB] [--cluster NAME] [--quiet] INPUT
//
// INPUT is a cube file (.cub) or a cube definition (.json, built first into a
// temporary cube file). Credentials come from the environment
// (PIVOTWIZARD_SERVER_USER, PIVOTWIZARD_SERVER_PASSWORD).
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace olap {

// True when `arguments` ask for publishing (they hold --publish).
bool isPublishCommand(std::span<const std::string> arguments);

// Runs the publishing mode; exit codes as runCubeBuilderCommand's. Never throws.
int runPublishCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

}  // namespace olap
