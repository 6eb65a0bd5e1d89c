#include "sheet/pivot/pivotconnection.h"

#include "sheet/constants.h"
#include "sheet/host/extensions.h"
#include "sheet/failures.h"
#include "olap/connection/providerregistry.h"
#include "platform/core/failure.h"

#include <algorithm>
#include <cctype>

namespace sheet::pivot {

namespace {

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool sameText(const std::string& a, const std::string& b)
{
    return lowered(a) == lowered(b);
}

// Splits at ';' outside double quotes; quotes are kept for unquote().
std::vector<std::string> splitParts(const std::string& text)
{
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ';' && !quoted)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string unquote(const std::string& value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return value;
    std::string result;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        result += value[i];
        if (value[i] == '"' && value[i + 1] == '"')
            ++i;
    }
    return result;
}

[[noreturn]] void failConnection(const std::string& why)
{
    failApplication("CreatePivotTable: the pivot cache's connection " + why);
}

std::shared_ptr<const olap::Provider> findProvider(const std::string& name)
{
    for (const auto& provider : olap::registeredProviders()) {
        if (sameText(provider->providerString(), name) || sameText(provider->connectionName(), name)
            || sameText(provider->providerName(), name))
            return provider;
    }
    failConnection("names the provider \"" + name + "\", which this host does not have");
}

size_t findCatalog(const olap::Catalogs& catalogs, const ConnectionParts& parts)
{
    for (size_t i = 0; i < catalogs.size(); ++i) {
        if (catalogs[i]->name == parts.initialCatalog)
            return i;
    }
    // A local cube file holds one catalog, which connection strings of local
    // cubes often name by the cube instead.
    if (catalogs.size() == 1)
        return 0;
    failConnection("names the catalog \"" + parts.initialCatalog + "\", which \"" + parts.dataSource + "\" does not have");
}

}  // namespace

ConnectionParts parseConnection(const std::string& text)
{
    ConnectionParts result;
    bool first = true;
    for (const auto& part : splitParts(text)) {
        const std::string item = trimmed(part);
        const bool prefix = first && sameText(item, "OLEDB");
        first = false;
        if (item.empty() || prefix)
            continue;
        const auto equals = item.find('=');
        if (equals == std::string::npos)
            failConnection("has a part that is not key=value: \"" + item + "\"");
        const std::string key = lowered(trimmed(std::string_view(item).substr(0, equals)));
        const std::string value = unquote(trimmed(std::string_view(item).substr(equals + 1)));
        if (key == "provider")
            result.provider = value;
        else if (key == "data source")
            result.dataSource = value;
        else if (key == "initial catalog")
            result.initialCatalog = value;
        else if (key == "location")
            result.location = value;
    }
    if (result.provider.empty())
        failConnection("names no provider (Provider=...)");
    if (result.dataSource.empty())
        failConnection("names no data source (Data Source=...)");
    return result;
}

OpenCube openCube(const PivotSource& source)
{
    if (source.commandType != kCommandCube)
        failApplication("CreatePivotTable: the pivot cache's command type must be " + std::to_string(kCommandCube)
                        + " (a cube), not " + std::to_string(source.commandType));
    const ConnectionParts parts = parseConnection(source.connection);
    OpenCube cube;
    cube.provider = findProvider(parts.provider);
    olap::Catalogs catalogs;
    try {
        catalogs = cube.provider->connect(parts.dataSource, "", "");
    } catch (const platform::Failure& failure) {
        failApplication("CreatePivotTable: cannot open the cube source \"" + parts.dataSource + "\": "
                        + failure.description());
    }
    cube.catalog = catalogs.at(findCatalog(catalogs, parts));
    const auto& cubes = cube.catalog->cubes;
    const auto found = std::find_if(cubes.begin(), cubes.end(), [&](const auto& c) { return c.name == source.commandText; });
    if (found == cubes.end())
        failApplication("CreatePivotTable: the catalog \"" + cube.catalog->name + "\" of \"" + parts.dataSource
                        + "\" has no cube \"" + source.commandText + "\"");
    cube.index = static_cast<size_t>(found - cubes.begin());
    return cube;
}

}  // namespace sheet::pivot
