#include "olap/build/cubesourcecommand.h"

#include "olap/build/cubesource.h"
#include "olap/build/publishcommand.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace olap {

namespace {

constexpr const char* kUsage =
    "Usage: cubebuilder [--check] [--quiet] DEFINITION.json OUTPUT.cub\n"
    "\n"
    "Makes a cube file from CSV files, as the cube definition DEFINITION.json\n"
    "describes them (see docs/cube-builder.md). When the definition has a \"store\"\n"
    "section, also writes the store companion OUTPUT.bwf beside the cube file.\n"
    "\n"
    "  --check   read and check the definition and every CSV file; write nothing\n"
    "            (OUTPUT.cub is then not needed)\n"
    "  --quiet   print errors only\n"
    "  --help    show this text\n"
    "\n"
    "cubebuilder --publish URL ... publishes a cube to a server instead\n"
    "(cubebuilder --publish --help tells how).\n"
    "\n"
    "Exit status: 0 done, 1 bad input (the message names file, line and column),\n"
    "2 wrong arguments.\n";

struct Options {
    bool check = false;
    bool quiet = false;
    bool help = false;
    std::vector<std::string> files;
};

// Empty when the arguments make no sense; the reason is then in `problem`.
std::optional<Options> parseArguments(std::span<const std::string> arguments, std::string& problem)
{
    Options options;
    for (const std::string& argument : arguments) {
        if (argument == "--check")
            options.check = true;
        else if (argument == "--quiet" || argument == "-q")
            options.quiet = true;
        else if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument.starts_with("-") && argument.size() > 1)
            problem = "unknown option " + argument;
        else
            options.files.push_back(argument);
    }
    const size_t wanted = options.check ? 1 : 2;
    if (problem.empty() && !options.help && options.files.size() != wanted)
        problem = options.check ? "--check takes one file, the definition" : "expected a definition and an output file";
    if (!problem.empty())
        return std::nullopt;
    return options;
}

std::string seconds(std::chrono::steady_clock::duration elapsed)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", std::chrono::duration<double>(elapsed).count());
    return text;
}

void printSummary(std::ostream& out, const std::vector<CubeSummary>& cubes)
{
    for (const CubeSummary& cube : cubes) {
        out << "  cube \"" << cube.name << "\": " << cube.factCount << " facts, " << cube.dimensionCount
            << " dimensions, " << cube.measureCount << " measures\n";
    }
}

void run(const Options& options, std::ostream& out)
{
    const auto start = std::chrono::steady_clock::now();
    const CatalogDefinition catalog = readCubeDefinition(options.files[0]);
    if (options.check) {
        std::vector<CubeSummary> summary;
        for (const CubeBuilder& cube : buildCubes(catalog)) {
            summary.push_back({cube.spec().name, cube.factCount(), cube.spec().dimensions.size(),
                               cube.spec().measures.size()});
        }
        if (!options.quiet) {
            out << options.files[0] << ": no problems found (" << seconds(std::chrono::steady_clock::now() - start) << ")\n";
            printSummary(out, summary);
        }
        return;
    }
    const std::filesystem::path output = options.files[1];
    const std::vector<CubeSummary> summary = buildCubeFile(catalog, output);
    if (options.quiet)
        return;
    out << "wrote " << output.string() << " (" << seconds(std::chrono::steady_clock::now() - start) << ")\n";
    printSummary(out, summary);
    if (catalog.store)
        out << "wrote " << companionPath(output).string() << " (store companion)\n";
}

}  // namespace

int runCubeBuilderCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    if (isPublishCommand(arguments))
        return runPublishCommand(arguments, out, err);
    std::string problem;
    const std::optional<Options> options = parseArguments(arguments, problem);
    if (!options) {
        err << "cubebuilder: " << problem << "\n\n" << kUsage;
        return kCommandUsage;
    }
    if (options->help) {
        out << kUsage;
        return kCommandDone;
    }
    try {
        run(*options, out);
        return kCommandDone;
    } catch (const platform::Failure& failure) {
        err << "cubebuilder: error: " << failure.description() << '\n';
        return kCommandBadInput;
    }
}

}  // namespace olap
