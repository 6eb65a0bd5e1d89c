#include "olap/build/publishcommand.h"

#include "olap/build/cubesource.h"
#include "olap/build/cubesourcecommand.h"
#include "olap/server/serverpublish.h"
#include "platform/core/failure.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace olap {

namespace {

constexpr const char* kUsage =
    "Usage: cubebuilder --publish URL[,URL...] [--database DB] [--cluster NAME] [--quiet] INPUT\n"
    "\n"
    "Publishes every cube of INPUT, a cube file (.cub) or a cube definition (.json),\n"
    "to the ClickHouse server at URL (http://host:port), into the database DB\n"
    "(default: the catalog's name). A cube of the same name is replaced; readers see\n"
    "the old cube or the new one, never half of one. With --cluster NAME, URL lists\n"
    "one server of every shard of the cluster NAME: facts are split across them,\n"
    "members and metadata go to every server. See docs/server-cubes.md.\n"
    "User and password: PIVOTWIZARD_SERVER_USER, PIVOTWIZARD_SERVER_PASSWORD.\n";

struct Options {
    std::vector<std::string> urls;
    std::string database;
    std::string cluster;
    bool quiet = false;
    std::string input;
};

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items(1);
    for (char c : text) {
        if (c == ',')
            items.emplace_back();
        else
            items.back() += c;
    }
    return items;
}

std::optional<Options> parse(std::span<const std::string> arguments, std::string& problem)
{
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--publish" || argument == "--database" || argument == "--cluster";
        if (takesValue && i + 1 == arguments.size()) {
            problem = argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--publish")
            options.urls = splitList(arguments[++i]);
        else if (argument == "--database")
            options.database = arguments[++i];
        else if (argument == "--cluster")
            options.cluster = arguments[++i];
        else if (argument == "--quiet" || argument == "-q")
            options.quiet = true;
        else if (argument.starts_with("-"))
            problem = "unknown option " + argument;
        else if (options.input.empty())
            options.input = argument;
        else
            problem = "expected one input file, a cube file or a definition";
    }
    if (problem.empty() && options.input.empty())
        problem = "expected the cube file or definition to publish";
    if (!problem.empty())
        return std::nullopt;
    return options;
}

// A definition is built into a temporary cube file that goes when this does.
class InputCube {
public:
    explicit InputCube(const std::string& input)
    {
        if (!input.ends_with(".json")) {
            mPath = input;
            return;
        }
        char pattern[] = "/tmp/cubebuilder-publish-XXXXXX";
        const int handle = ::mkstemp(pattern);
        if (handle < 0)
            throw platform::Failure(platform::err::kPathFileAccess, "cannot create a temporary cube file", "cubebuilder");
        ::close(handle);
        mPath = std::string(pattern) + ".cub";
        mTemporary = {pattern, mPath};
        buildCubeFile(readCubeDefinition(input), mPath);
    }
    ~InputCube()
    {
        for (const std::filesystem::path& file : mTemporary) {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
        }
    }
    const std::filesystem::path& path() const { return mPath; }

private:
    std::filesystem::path mPath;
    std::vector<std::filesystem::path> mTemporary;
};

std::string rate(uint64_t facts, double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f facts/s", seconds > 0 ? double(facts) / seconds : 0.0);
    return text;
}

void run(const Options& options, std::ostream& out)
{
    server::PublishOptions publish;
    for (const std::string& url : options.urls)
        publish.servers.push_back(server::parseDataSource(url));
    publish.database = options.database;
    publish.cluster = options.cluster;
    publish.login = server::loginFor(publish.servers.at(0));
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    if (!options.quiet) {
        publish.progress = [&](uint64_t done, uint64_t total) {
            out << "published " << done << " of " << total << " facts (" << rate(done, elapsed()) << ")\n"
                << std::flush;
        };
    }
    const InputCube input(options.input);
    const server::PublishSummary summary = server::publishCubeFile(input.path(), publish);
    if (!options.quiet) {
        out << "published " << summary.cubes << " cube(s), " << summary.facts << " facts, to database \""
            << summary.database << "\" in " << elapsed() << " s (" << rate(summary.facts, elapsed()) << ")\n";
    }
}

}  // namespace

bool isPublishCommand(std::span<const std::string> arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--publish")
            return true;
    }
    return false;
}

int runPublishCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            out << kUsage;
            return kCommandDone;
        }
    }
    std::string problem;
    const std::optional<Options> options = parse(arguments, problem);
    if (!options) {
        err << "cubebuilder: " << problem << "\n\n" << kUsage;
        return kCommandUsage;
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
