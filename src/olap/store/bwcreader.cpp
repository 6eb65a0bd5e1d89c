// Reads store cube files; the layout is in bwcformat.h. Every count, index
// and range is checked before it is used, so a damaged file fails cleanly.
#include "olap/store/bwcfile.h"

#include "olap/store/bwcformat.h"
#include "platform/core/failure.h"
#include "olap/store/storefiles.h"
#include "olap/model/metadata.h"

#include <cstring>
#include <set>

namespace olap {

using bwcformat::ByteReader;

namespace {

// Far above any real store cube; a larger file is not one of ours.
constexpr uint64_t kMaxBwcBytes = uint64_t(1) << 32;

// Returns the payload after checking magic, version, length and, with
// `verify`, the checksum.
std::string_view checkHeader(const std::filesystem::path& file, std::string_view bytes, bool verify)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), bwcformat::kMagic, 8) != 0)
        storeFailure(platform::err::kBadFileName, file, "is not a store cube file");
    ByteReader header(bytes.substr(8), file);
    const uint32_t version = header.u32();
    if (version == 0)
        header.damaged("its format version is 0");
    if (version > bwcformat::kVersion) {
        storeFailure(platform::err::kBadFileName, file,
                     "the store cube file was written by a newer version (format " + std::to_string(version)
                         + "; this program reads up to " + std::to_string(bwcformat::kVersion) + ")");
    }
    header.u32();  // flags: none defined yet
    const uint64_t length = header.u64();
    const uint32_t checksum = header.u32();
    if (length != bytes.size() - bwcformat::kHeaderSize)
        header.damaged(length > bytes.size() - bwcformat::kHeaderSize ? "it ends early" : "it has bytes after its end");
    const std::string_view payload = bytes.substr(bwcformat::kHeaderSize);
    if (verify && bwcformat::crc32(payload) != checksum)
        header.damaged("its checksum does not match its content");
    return payload;
}

template <class Enum>
Enum enumValue(ByteReader& in, int last, const char* what)
{
    const uint8_t value = in.u8();
    if (value > last)
        in.damaged(std::string("unknown ") + what + " " + std::to_string(value));
    return Enum(value);
}

HierarchyInfo readHierarchy(ByteReader& in)
{
    HierarchyInfo hierarchy;
    hierarchy.name = in.text();
    const uint32_t levelCount = in.count(10);
    if (levelCount == 0)
        in.damaged("the hierarchy \"" + hierarchy.name + "\" has no levels");
    uint32_t firstMember = 0;
    for (uint32_t l = 0; l < levelCount; ++l) {
        LevelInfo level;
        level.name = in.text();
        level.type = enumValue<LevelType>(in, 1, "level type");
        level.namedByKey = in.u8() != 0;
        level.memberCount = in.u32();
        level.firstMember = firstMember;
        firstMember += level.memberCount;  // a wrap is caught by linkChildren's range checks
        hierarchy.levels.push_back(std::move(level));
    }
    const uint32_t memberCount = in.count(18);
    hierarchy.members.reserve(memberCount);
    for (uint32_t m = 0; m < memberCount; ++m) {
        MemberInfo member;
        member.parent = in.i32();
        member.level = in.u16();
        member.name = in.text();
        member.caption = in.text();
        member.uniqueName = in.text();
        hierarchy.members.push_back(std::move(member));
    }
    if (const std::string problem = linkChildren(hierarchy); !problem.empty())
        in.damaged(problem);
    return hierarchy;
}

DimensionInfo readDimension(ByteReader& in)
{
    DimensionInfo dimension;
    dimension.name = in.text();
    dimension.fieldName = in.text();
    dimension.type = enumValue<DimensionType>(in, 3, "dimension type");
    dimension.keyCount = in.u32();
    const uint32_t hierarchyCount = in.count(12);
    if (hierarchyCount == 0)
        in.damaged("the dimension \"" + dimension.name + "\" has no hierarchy");
    for (uint32_t h = 0; h < hierarchyCount; ++h)
        dimension.hierarchies.push_back(readHierarchy(in));
    return dimension;
}

CubeInfo readCube(ByteReader& in)
{
    CubeInfo cube;
    cube.name = in.text();
    cube.factCount = in.u64();
    const uint32_t dimensionCount = in.count(17);
    for (uint32_t d = 0; d < dimensionCount; ++d)
        cube.dimensions.push_back(readDimension(in));
    const uint32_t measureCount = in.count(9);
    for (uint32_t m = 0; m < measureCount; ++m) {
        MeasureInfo measure;
        measure.name = in.text();
        measure.aggregation = enumValue<Aggregation>(in, int(Aggregation::DistinctCount), "aggregation");
        measure.formatString = in.text();
        cube.measures.push_back(std::move(measure));
    }
    return cube;
}

}  // namespace

std::string storeCubeProblem(const StoreCubeData& data)
{
    const std::string& list = data.companion.measureListDimension;
    if (data.companion.measuresSpecial && list.empty())
        return "the measures are special but no measure-list dimension is named";
    std::set<std::string_view> names;
    for (const DimensionInfo& dimension : data.cube.dimensions) {
        if (dimension.name == kMeasuresDimensionName)
            return "a dimension is named like the measures dimension";
        // A measure dimension of the cube may itself be the measure list.
        if (dimension.name == list && dimension.type != DimensionType::Measure)
            return "the measure-list dimension \"" + list + "\" has the name of a dimension of the cube";
        if (!names.insert(dimension.name).second)
            return "two dimensions are named \"" + dimension.name + "\"";
    }
    return {};
}

StoreCubeData readBwcFile(const std::filesystem::path& file, bool verify)
{
    const std::string bytes = readWholeFile(file, kMaxBwcBytes);
    ByteReader in(checkHeader(file, bytes, verify), file);
    StoreCubeData data;
    data.storeName = in.text();
    data.catalogName = in.text();
    data.companion.measuresSpecial = in.u8() != 0;
    data.companion.measureListDimension = in.text();
    data.cube = readCube(in);
    if (!in.atEnd())
        in.damaged("it has bytes after its end");
    if (const std::string problem = storeCubeProblem(data); !problem.empty())
        in.damaged(problem);
    return data;
}

}  // namespace olap
