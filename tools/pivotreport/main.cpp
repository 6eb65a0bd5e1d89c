// pivotreport: builds, refreshes, lists and exports pivot reports without a
// display. Everything it does lives in sheet/report/reportcommand.h, where
// tests reach it.
#include "sheet/report/reportcommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return sheet::report::runPivotReportCommand(arguments, std::cout, std::cerr);
}
