// cubebuilder: makes a cube file from CSV files and a cube definition.
// Everything it does lives in olap/cubesourcecommand.h, where tests reach it.
#include "olap/build/cubesourcecommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return olap::runCubeBuilderCommand(arguments, std::cout, std::cerr);
}
