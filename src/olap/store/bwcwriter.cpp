// Writes store cube files; the layout is in bwcformat.h.
#include "olap/store/bwcfile.h"

#include "olap/store/bwcformat.h"
#include "olap/store/storefiles.h"

namespace olap {

using bwcformat::ByteWriter;

namespace {

void writeHierarchy(ByteWriter& out, const HierarchyInfo& hierarchy)
{
    out.text(hierarchy.name);
    out.u32(uint32_t(hierarchy.levels.size()));
    for (const LevelInfo& level : hierarchy.levels) {
        out.text(level.name);
        out.u8(uint8_t(level.type));
        out.u8(level.namedByKey ? 1 : 0);
        out.u32(level.memberCount);
    }
    out.u32(uint32_t(hierarchy.members.size()));
    for (const MemberInfo& member : hierarchy.members) {
        out.i32(member.parent);
        out.u16(member.level);
        out.text(member.name);
        out.text(member.caption);
        out.text(member.uniqueName);
    }
}

void writeCube(ByteWriter& out, const CubeInfo& cube)
{
    out.text(cube.name);
    out.u64(cube.factCount);
    out.u32(uint32_t(cube.dimensions.size()));
    for (const DimensionInfo& dimension : cube.dimensions) {
        out.text(dimension.name);
        out.text(dimension.fieldName);
        out.u8(uint8_t(dimension.type));
        out.u32(dimension.keyCount);
        out.u32(uint32_t(dimension.hierarchies.size()));
        for (const HierarchyInfo& hierarchy : dimension.hierarchies)
            writeHierarchy(out, hierarchy);
    }
    out.u32(uint32_t(cube.measures.size()));
    for (const MeasureInfo& measure : cube.measures) {
        out.text(measure.name);
        out.u8(uint8_t(measure.aggregation));
        out.text(measure.formatString);
    }
}

}  // namespace

void writeBwcFile(const std::filesystem::path& file, const StoreCubeData& data)
{
    ByteWriter payload;
    payload.text(data.storeName);
    payload.text(data.catalogName);
    payload.u8(data.companion.measuresSpecial ? 1 : 0);
    payload.text(data.companion.measureListDimension);
    writeCube(payload, data.cube);

    ByteWriter header;
    for (char c : bwcformat::kMagic)
        header.u8(uint8_t(c));
    header.u32(bwcformat::kVersion);
    header.u32(0);
    header.u64(payload.bytes().size());
    header.u32(bwcformat::crc32(payload.bytes()));
    writeFileAtomically(file, header.bytes() + payload.bytes());
}

}  // namespace olap
