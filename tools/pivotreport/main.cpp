// pivotreport: builds, refreshes, lists and exports pivot reports without a
// display. Everything it does lives in sheet/report/reportcommand.h, where
// tests reach it.
#include "olap/connection/providerregistry.h"
#include "olap/connection/providerserver.h"
#include "sheet/report/reportcommand.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Reports of cubes on servers: logins come from the environment
    // (PIVOTWIZARD_SERVER_USER, PIVOTWIZARD_SERVER_PASSWORD).
    olap::registerProvider(std::make_shared<olap::ServerProvider>());
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return sheet::report::runPivotReportCommand(arguments, std::cout, std::cerr);
}
