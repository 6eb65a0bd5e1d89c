// Reads cube files (layout: cubeformat.h): metadata when opened, facts on demand.
#include "olap/cube/cubefile.h"

#include "olap/cube/calculatedmeasures.h"
#include "olap/cube/cubefacts.h"
#include "olap/cube/cubefilechecks.h"
#include "olap/cube/cubeformat.h"
#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"
#include "platform/core/failure.h"
#include "platform/core/sqlitedb.h"
#include "olap/model/metadata.h"

#include <span>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string_view>

namespace olap {

using platform::SqliteDb;
using platform::SqliteStatement;

class CubeFile::Data {
public:
    std::filesystem::path path;
    std::unique_ptr<SqliteDb> db;
    CatalogInfo catalog;
    std::vector<std::vector<int>> keyWidths;  // per cube: bytes per key of each dimension
    std::vector<std::vector<int>> measureWidths;  // per cube: bytes per value of each stored measure
    std::vector<std::vector<int>> measureDecimals;  // per cube and stored measure: a compact column's, or -1
    std::vector<uint64_t> chunkRows;          // per cube
    std::vector<int64_t> cubeIds;             // per cube: its id in the file
    uint64_t fileBytes = 0;                   // what any count in the file is checked against
    int64_t version = 0;                      // the file's format version
    // After opening, the metadata's connection joins these, which read facts.
    std::shared_ptr<cubefacts::Connections> connections;
    mutable std::mutex factsLock;
    // Per cube, once asked for: its columns are read on first use and kept
    // while the file is open.
    mutable std::vector<std::shared_ptr<const FactTable>> facts;

    [[noreturn]] void damaged(const std::string& what) const { cubecheck::damaged(path, what); }
};

namespace {

// Reads the packed members of one hierarchy (layout in cubeformat.h).
class MemberReader {
public:
    MemberReader(std::span<const uint8_t> bytes, const CubeFile::Data& file) : mBytes(bytes), mFile(file) {}

    bool atEnd() const { return mAt == mBytes.size(); }

    template <class T>
    T number()
    {
        T value;
        need(sizeof(T));
        std::memcpy(&value, mBytes.data() + mAt, sizeof(T));
        mAt += sizeof(T);
        return value;
    }

    std::string text()
    {
        const uint32_t length = number<uint32_t>();
        need(length);
        std::string value(reinterpret_cast<const char*>(mBytes.data() + mAt), length);
        mAt += length;
        return value;
    }

    // Passes over one member: parent, level, name and caption.
    void skipMember()
    {
        need(sizeof(int32_t) + sizeof(uint16_t));
        mAt += sizeof(int32_t) + sizeof(uint16_t);
        for (int part = 0; part < 2; ++part) {
            const uint32_t length = number<uint32_t>();
            need(length);
            mAt += length;
        }
    }

private:
    void need(size_t bytes) const
    {
        if (mBytes.size() - mAt < bytes)
            mFile.damaged("a member list ends early");
    }

    std::span<const uint8_t> mBytes;
    const CubeFile::Data& mFile;
    size_t mAt = 0;
};

// Appends `name` in brackets, a "]" in it doubled (metadata.h's bracketed),
// without a string of its own: a hierarchy can hold a million members.
void appendBracketed(std::string& to, std::string_view name)
{
    to += '[';
    for (size_t close = name.find(']'); close != std::string_view::npos; close = name.find(']')) {
        to.append(name.substr(0, close + 1)) += ']';
        name.remove_prefix(close + 1);
    }
    to.append(name) += ']';
}

// Fills parents' child ranges and every member's unique name, and checks that
// the members form a tree in level order.
void completeMembers(HierarchyInfo& hierarchy, const std::string& prefix, const CubeFile::Data& file)
{
    std::vector<MemberInfo>& members = hierarchy.members;
    for (uint32_t i = 0; i < members.size(); ++i) {
        MemberInfo& member = members[i];
        if (member.level >= hierarchy.levels.size() || (member.parent >= 0 && uint32_t(member.parent) >= i)
            || (member.parent < 0) != (member.level == 0)
            || (member.parent >= 0 && members[member.parent].level + 1 != member.level))
            file.damaged("the member tree of \"" + hierarchy.name + "\" is inconsistent");
        const LevelInfo& level = hierarchy.levels[member.level];
        const std::string& above = member.parent < 0 ? prefix : members[member.parent].uniqueName;
        member.uniqueName.reserve(above.size() + member.name.size() + 4);
        member.uniqueName.append(above) += '.';
        if (level.namedByKey)
            member.uniqueName += '&';
        appendBracketed(member.uniqueName, member.name);
        if (member.caption.empty())
            member.caption = member.name;
        if (member.parent >= 0) {
            MemberInfo& parent = members[member.parent];
            if (parent.childCount == 0)
                parent.firstChild = i;
            else if (parent.firstChild + parent.childCount != i)
                file.damaged("the children of a member of \"" + hierarchy.name + "\" are not together");
            ++parent.childCount;
        }
        LevelInfo& owner = hierarchy.levels[member.level];
        if (owner.memberCount == 0)
            owner.firstMember = i;
        ++owner.memberCount;
    }
}

void readMembers(HierarchyInfo& hierarchy, std::span<const uint8_t> packed, std::span<const uint8_t> memberOfKey,
                 const std::string& prefix, const CubeFile::Data& file)
{
    // Counted first, so that the list is allocated once and never moved.
    MemberReader counter(packed, file);
    size_t count = 0;
    for (; !counter.atEnd(); ++count)
        counter.skipMember();
    hierarchy.members.reserve(count);
    MemberReader reader(packed, file);
    while (!reader.atEnd()) {
        MemberInfo member;
        member.parent = reader.number<int32_t>();
        member.level = reader.number<uint16_t>();
        member.name = reader.text();
        member.caption = reader.text();
        hierarchy.members.push_back(std::move(member));
    }
    completeMembers(hierarchy, prefix, file);
    if (memberOfKey.size() % 4 != 0)
        file.damaged("a key table has a broken length");
    hierarchy.memberOfKey.resize(memberOfKey.size() / 4);
    // An empty blob comes back as a null pointer, which memcpy may not take.
    if (!memberOfKey.empty())
        std::memcpy(hierarchy.memberOfKey.data(), memberOfKey.data(), memberOfKey.size());
    for (uint32_t member : hierarchy.memberOfKey) {
        if (member >= hierarchy.members.size() || hierarchy.members[member].level + 1u != hierarchy.levels.size())
            file.damaged("a key of \"" + hierarchy.name + "\" names no member of the deepest level");
    }
}

// Everything the reader trusts a file to hold: a table of that name, not a
// view that computes endless or enormous rows.
constexpr const char* kTables[] = {"catalog", "cubes", "dimensions", "hierarchies", "levels", "measures", "facts"};

// What a cube file may ask of SQLite: no value longer than the file (a
// stored value cannot be), and work per statement in proportion to its size.
SqliteDb::Options readOptions(uint64_t fileBytes)
{
    constexpr uint64_t kSmallest = 1 << 20, kLargest = 1'000'000'000;
    SqliteDb::Options options;
    options.source = "olap";
    options.untrusted = true;
    options.maxValueBytes = int(std::clamp(fileBytes, kSmallest, kLargest));
    options.maxStatementWork = int64_t(std::max(fileBytes, kSmallest)) * 16;
    return options;
}

}  // namespace

CubeFile::CubeFile() : d(std::make_unique<Data>()) {}
CubeFile::~CubeFile() = default;

const std::filesystem::path& CubeFile::path() const { return d->path; }
const CatalogInfo& CubeFile::catalog() const { return d->catalog; }

std::shared_ptr<const CubeFile> CubeFile::open(const std::filesystem::path& file)
{
    std::shared_ptr<CubeFile> cube(new CubeFile);
    cube->d->path = file;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    cube->d->fileBytes = error ? 0 : uint64_t(size);
    const uint64_t identity = cubefacts::fileIdentity(file);
    cube->d->db = std::make_unique<SqliteDb>(file, readOptions(cube->d->fileBytes));
    cube->readHeader();
    cube->readCatalog();
    cube->d->facts.resize(cube->d->catalog.cubes.size());
    cube->d->connections = std::make_shared<cubefacts::Connections>(file, readOptions(cube->d->fileBytes),
                                                                    std::move(cube->d->db), identity);
    return cube;
}

void CubeFile::readHeader()
{
    int64_t application = 0, version = 0;
    try {
        application = d->db->pragma("application_id");
        version = d->db->pragma("user_version");
    } catch (const platform::Failure&) {
        throw platform::Failure(platform::err::kBadFileName, d->path.string() + ": is not a cube file", "olap");
    }
    if (application != cubeformat::kApplicationId)
        throw platform::Failure(platform::err::kBadFileName, d->path.string() + ": is not a cube file", "olap");
    if (version > cubeformat::kVersion) {
        throw platform::Failure(platform::err::kBadFileName,
                                d->path.string() + ": the cube file was written by a newer version (format "
                                    + std::to_string(version) + "; this program reads up to "
                                    + std::to_string(cubeformat::kVersion) + ")",
                                "olap");
    }
    for (const char* table : kTables) {
        if (!d->db->isTable(table))
            d->damaged("\"" + std::string(table) + "\" is not a table");
    }
    d->version = version;
    for (const char* table : {"calculated_measures", "distinct_measures", "compact_measures"}) {
        const int since = std::string_view(table) == "compact_measures" ? 3 : 2;
        if (version >= since && !d->db->isTable(table))
            d->damaged("\"" + std::string(table) + "\" is not a table");
    }
}

void CubeFile::readCatalog()
{
    SqliteStatement catalog(*d->db, "SELECT name FROM catalog");
    if (!catalog.step())
        d->damaged("it names no catalog");
    d->catalog.name = catalog.text(0);
    SqliteStatement cubes(*d->db, "SELECT id, name, fact_count, chunk_rows FROM cubes ORDER BY id");
    while (cubes.step()) {
        CubeInfo cube;
        cube.name = cubes.text(1);
        cube.factCount = uint64_t(cubes.integer(2));
        d->chunkRows.push_back(uint64_t(cubes.integer(3)));
        if (d->chunkRows.back() == 0 && cube.factCount > 0)
            d->damaged("the facts of \"" + cube.name + "\" have no chunk size");
        readDimensions(cubes.integer(0), cube);
        readMeasures(cubes.integer(0), cube);
        std::vector<int> widths = d->keyWidths.back();
        widths.insert(widths.end(), d->measureWidths.back().begin(), d->measureWidths.back().end());
        cubecheck::checkFactCount(d->path, cube, widths, d->fileBytes);
        d->cubeIds.push_back(cubes.integer(0));
        d->catalog.cubes.push_back(std::move(cube));
    }
}

void CubeFile::readDimensions(int64_t id, CubeInfo& cube)
{
    SqliteStatement dimensions(*d->db, "SELECT position, name, type, key_count, key_width FROM dimensions "
                                       "WHERE cube = ? ORDER BY position");
    dimensions.bind(id);
    std::vector<int> widths;
    while (dimensions.step()) {
        DimensionInfo dimension;
        dimension.name = dimensions.text(1);
        dimension.fieldName = bracketed(dimension.name);
        const int64_t type = dimensions.integer(2);
        const int64_t width = dimensions.integer(4);
        if (type < 0 || type > 3 || (width != 1 && width != 2 && width != 4))
            d->damaged("the dimension \"" + dimension.name + "\" has an unknown type or key width");
        dimension.type = DimensionType(type);
        dimension.keyCount = uint32_t(dimensions.integer(3));
        readHierarchies(id, dimensions.integer(0), dimension);
        widths.push_back(int(width));
        cube.dimensions.push_back(std::move(dimension));
    }
    d->keyWidths.push_back(std::move(widths));
}

void CubeFile::readHierarchies(int64_t cube, int64_t position, DimensionInfo& dimension)
{
    SqliteStatement hierarchies(*d->db, "SELECT position, name, members, member_of_key FROM hierarchies "
                                        "WHERE cube = ? AND dimension = ? ORDER BY position");
    hierarchies.bind(cube).bind(position);
    SqliteStatement levels(*d->db, "SELECT name, type, named_by_key FROM levels "
                                   "WHERE cube = ? AND dimension = ? AND hierarchy = ? ORDER BY position");
    while (hierarchies.step()) {
        HierarchyInfo hierarchy;
        hierarchy.name = hierarchies.text(1);
        levels.bind(cube).bind(position).bind(hierarchies.integer(0));
        while (levels.step()) {
            const int64_t type = levels.integer(1);
            if (type != int64_t(LevelType::Regular) && type != int64_t(LevelType::All))
                d->damaged("a level of \"" + dimension.name + "\" has an unknown type");
            hierarchy.levels.push_back({levels.text(0), LevelType(type), levels.integer(2) != 0, 0, 0});
        }
        levels.reset();
        const std::string prefix = dimension.hierarchies.empty() ? bracketed(dimension.name)
                                                                 : bracketed(dimension.name + "." + hierarchy.name);
        readMembers(hierarchy, hierarchies.blob(2), hierarchies.blob(3), prefix, *d);
        cubecheck::checkAllLevel(d->path, hierarchy);
        if (hierarchy.levels.empty() || hierarchy.memberOfKey.size() != dimension.keyCount)
            d->damaged("the hierarchy \"" + hierarchy.name + "\" does not match its dimension");
        dimension.hierarchies.push_back(std::move(hierarchy));
    }
    if (dimension.hierarchies.empty())
        d->damaged("the dimension \"" + dimension.name + "\" has no hierarchy");
}

void CubeFile::readMeasures(int64_t id, CubeInfo& cube)
{
    SqliteStatement measures(*d->db, "SELECT name, aggregation, format FROM measures WHERE cube = ? ORDER BY position");
    measures.bind(id);
    std::vector<int> widths;
    while (measures.step()) {
        const int64_t aggregation = measures.integer(1);
        if (aggregation < 0 || aggregation > int64_t(Aggregation::DistinctCount))
            d->damaged("the measure \"" + measures.text(0) + "\" has an unknown aggregation (" + std::to_string(aggregation)
                       + "; this program knows those of format version " + std::to_string(cubeformat::kVersion) + ")");
        if (aggregation == int64_t(Aggregation::DistinctCount) && d->version < 2)
            d->damaged("the measure \"" + measures.text(0) + "\" is a distinct count, which needs format version 2");
        cube.measures.push_back({measures.text(0), Aggregation(aggregation), measures.text(2)});
        widths.push_back(int(sizeof(double)));
    }
    if (d->version >= 2)
        readDistinctMeasures(id, cube, widths);
    d->measureDecimals.emplace_back(widths.size(), -1);
    if (d->version >= 3)
        readCompactMeasures(id, cube, widths);
    d->measureWidths.push_back(std::move(widths));
    if (d->version >= 2)
        readCalculatedMeasures(id, cube);
}

// Each distinct count names how many values its column holds and the bytes
// per id; any other measure named here, or a distinct count not, is damage.
void CubeFile::readDistinctMeasures(int64_t id, CubeInfo& cube, std::vector<int>& widths)
{
    SqliteStatement distinct(*d->db, "SELECT measure, value_count, key_width FROM distinct_measures WHERE cube = ?");
    distinct.bind(id);
    std::vector<bool> described(cube.measures.size());
    while (distinct.step()) {
        const int64_t measure = distinct.integer(0), values = distinct.integer(1), width = distinct.integer(2);
        if (measure < 0 || uint64_t(measure) >= cube.measures.size() || described[measure]
            || cube.measures[measure].aggregation != Aggregation::DistinctCount)
            d->damaged("a distinct count names the wrong measure");
        const int64_t largest = width == 1 ? 0xff : width == 2 ? 0xffff : width == 4 ? 0xfffffffe : -1;
        if (values < 0 || values > largest)
            d->damaged("the distinct count \"" + cube.measures[measure].name + "\" has a wrong value count or width");
        cube.measures[measure].distinctValues = uint32_t(values);
        widths[measure] = int(width);
        described[measure] = true;
    }
    for (size_t m = 0; m < cube.measures.size(); ++m) {
        if (cube.measures[m].aggregation == Aggregation::DistinctCount && !described[m])
            d->damaged("the distinct count \"" + cube.measures[m].name + "\" has no value count");
    }
}

// A compact measure's column holds integers of 1, 2 or 4 bytes with some
// decimals (measurecolumn.h); a distinct count or a measure named twice is damage.
void CubeFile::readCompactMeasures(int64_t id, const CubeInfo& cube, std::vector<int>& widths)
{
    SqliteStatement compact(*d->db, "SELECT measure, width, decimals FROM compact_measures WHERE cube = ?");
    compact.bind(id);
    std::vector<int>& decimals = d->measureDecimals.back();
    while (compact.step()) {
        const int64_t measure = compact.integer(0), width = compact.integer(1), places = compact.integer(2);
        if (measure < 0 || uint64_t(measure) >= decimals.size() || decimals[measure] >= 0
            || cube.measures[measure].aggregation == Aggregation::DistinctCount)
            d->damaged("a compact column names the wrong measure");
        if ((width != 1 && width != 2 && width != 4) || places < 0 || places > kMaxDecimals)
            d->damaged("the measure \"" + cube.measures[measure].name + "\" has a wrong width or decimals");
        widths[measure] = int(width);
        decimals[measure] = int(places);
    }
}

// Calculated measures follow the stored ones; a formula that could not be
// computed is damage, as the builder never writes one.
void CubeFile::readCalculatedMeasures(int64_t id, CubeInfo& cube)
{
    SqliteStatement measures(*d->db, "SELECT name, formula, format FROM calculated_measures WHERE cube = ? "
                                     "ORDER BY position");
    measures.bind(id);
    while (measures.step()) {
        MeasureInfo measure{measures.text(0), Aggregation::Sum, measures.text(2), measures.text(1)};
        if (measure.formula.empty())
            d->damaged("the calculated measure \"" + measure.name + "\" has no formula");
        cube.measures.push_back(std::move(measure));
    }
    if (const auto problem = findCalculatedProblem(cube.measures))
        d->damaged(problem->message);
}

std::shared_ptr<const FactTable> CubeFile::facts(size_t cube) const
{
    const std::lock_guard<std::mutex> lock(d->factsLock);
    if (cube >= d->facts.size())
        throw platform::Failure(platform::err::kSubscript, d->path.string() + ": there is no cube number " + std::to_string(cube), "olap");
    if (!d->facts[cube]) {
        const CubeInfo& info = d->catalog.cubes[cube];
        cubefacts::FactLayout layout{d->cubeIds[cube], info.factCount, d->chunkRows[cube], d->keyWidths[cube], {},
                                     storedMeasureCount(info), d->measureWidths[cube], d->measureDecimals[cube], {}};
        for (const DimensionInfo& dimension : info.dimensions)
            layout.keyCounts.push_back(dimension.keyCount);
        for (size_t m = 0; m < layout.measureCount; ++m)
            layout.distinctValues.push_back(info.measures[m].distinctValues);
        d->facts[cube] = std::make_shared<const FactTable>(info.factCount, info.dimensions.size(),
                                                           storedMeasureCount(info),
                                                           cubefacts::openFacts(d->connections, std::move(layout)));
    }
    return d->facts[cube];
}

}  // namespace olap
