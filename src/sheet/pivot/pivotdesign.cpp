#include "sheet/pivot/pivotdesign.h"

#include "sheet/failures.h"
#include "olap/model/membersource.h"
#include "olap/model/metadata.h"

#include <algorithm>

namespace sheet::pivot {

using olap::bracketed;

PivotDesign::PivotDesign(const olap::CubeInfo& cube)
    : mCube(&cube), mDimensions(cube.dimensions.size()), mMeasures(cube.measures.size())
{
    for (int32_t o : {kRowField, kColumnField, kPageField, kDataField})
        mAxes[o];
    using Kind = CubeFieldEntry::Kind;
    for (uint32_t d = 0; d < cube.dimensions.size(); ++d)
        mCubeFields.push_back({bracketed(cube.dimensions[d].name), Kind::Dimension, d});
    mCubeFields.push_back({"[Measures]", Kind::Values, 0});
    for (uint32_t m = 0; m < cube.measures.size(); ++m)
        mCubeFields.push_back({"[Measures]." + bracketed(cube.measures[m].name), Kind::Measure, m});
    for (const auto& dimension : cube.dimensions) {
        if (dimension.type != olap::DimensionType::Measure)
            continue;
        const auto& hierarchy = dimension.hierarchies.at(0);
        const size_t top = !hierarchy.levels.empty() && hierarchy.levels[0].type == olap::LevelType::All ? 1 : 0;
        if (top >= hierarchy.levels.size())
            continue;
        const olap::LevelInfo& level = hierarchy.levels[top];
        for (uint32_t at = level.firstMember; at < level.firstMember + level.memberCount; ++at) {
            const olap::MemberInfo& member = olap::memberOf(hierarchy, at);
            for (uint32_t m = 0; m < cube.measures.size(); ++m) {
                if (cube.measures[m].name == member.name)
                    mCubeFields.push_back({bracketed(dimension.name) + "." + bracketed(member.name), Kind::Measure, m});
            }
        }
    }
}

bool PivotDesign::empty() const
{
    return std::all_of(mAxes.begin(), mAxes.end(), [](const auto& axis) { return axis.second.empty(); });
}

std::optional<size_t> PivotDesign::findCubeField(std::string_view name) const
{
    for (size_t i = 0; i < mCubeFields.size(); ++i) {
        if (mCubeFields[i].name == name)
            return i;
    }
    return std::nullopt;
}

int32_t& PivotDesign::orientationRef(const CubeFieldEntry& entry)
{
    switch (entry.kind) {
    case CubeFieldEntry::Kind::Dimension: return mDimensions.at(entry.index).orientation;
    case CubeFieldEntry::Kind::Measure: return mMeasures.at(entry.index).orientation;
    case CubeFieldEntry::Kind::Values: break;
    }
    return mValuesOrientation;
}

std::vector<uint32_t>* PivotDesign::axisOf(const CubeFieldEntry& entry, int32_t orientation)
{
    if (entry.kind == CubeFieldEntry::Kind::Values || orientation == kHidden)
        return nullptr;
    return &mAxes.at(orientation);
}

int32_t PivotDesign::orientation(size_t field) const
{
    return const_cast<PivotDesign*>(this)->orientationRef(mCubeFields.at(field));
}

void PivotDesign::setOrientation(size_t field, int32_t orientation)
{
    const auto& entry = mCubeFields.at(field);
    using Kind = CubeFieldEntry::Kind;
    const bool allowed = entry.kind == Kind::Dimension ? (orientation >= kHidden && orientation <= kPageField)
                         : entry.kind == Kind::Measure ? (orientation == kHidden || orientation == kDataField)
                                                       : (orientation >= kHidden && orientation <= kColumnField);
    if (!allowed)
        failApplication("The cube field " + entry.name + " cannot take the orientation " + std::to_string(orientation));
    int32_t& current = orientationRef(entry);
    if (current == orientation)
        return;
    if (auto* axis = axisOf(entry, current))
        std::erase(*axis, entry.index);
    current = orientation;
    if (auto* axis = axisOf(entry, orientation))
        axis->push_back(entry.index);
}

int32_t PivotDesign::position(size_t field) const
{
    const auto& entry = mCubeFields.at(field);
    const int32_t current = orientation(field);
    if (current == kHidden)
        failApplication("The cube field " + entry.name + " has no position: it is not placed");
    if (entry.kind == CubeFieldEntry::Kind::Values)  // always shown innermost
        return static_cast<int32_t>(mAxes.at(current).size()) + 1;
    const auto& axis = mAxes.at(current);
    return static_cast<int32_t>(std::find(axis.begin(), axis.end(), entry.index) - axis.begin()) + 1;
}

void PivotDesign::setPosition(size_t field, int32_t position)
{
    const auto& entry = mCubeFields.at(field);
    const int32_t current = orientation(field);
    if (current == kHidden)
        failApplication("The cube field " + entry.name + " has no position: it is not placed");
    auto& axis = mAxes.at(current);
    const int32_t count = static_cast<int32_t>(axis.size()) + (entry.kind == CubeFieldEntry::Kind::Values ? 1 : 0);
    if (position < 1 || position > count)
        failApplication("The position " + std::to_string(position) + " of the cube field " + entry.name
                        + " is outside 1 to " + std::to_string(count));
    if (entry.kind == CubeFieldEntry::Kind::Values)
        return;
    std::erase(axis, entry.index);
    axis.insert(axis.begin() + (position - 1), entry.index);
}

std::vector<PivotFieldEntry> PivotDesign::pivotFields() const
{
    std::vector<PivotFieldEntry> fields;
    for (uint32_t d = 0; d < mCube->dimensions.size(); ++d) {
        if (mDimensions[d].orientation == kHidden)
            continue;
        const auto& dimension = mCube->dimensions[d];
        const auto& levels = dimension.hierarchies.at(0).levels;
        for (uint16_t l = 0; l < levels.size(); ++l) {
            if (levels[l].type != olap::LevelType::All)
                fields.push_back({bracketed(dimension.name) + "." + bracketed(levels[l].name), false, d, l});
        }
    }
    for (uint32_t m : mAxes.at(kDataField))
        fields.push_back({"[Measures]." + bracketed(mCube->measures[m].name), true, m, 0});
    return fields;
}

std::set<uint32_t> PivotDesign::resolveMembers(uint32_t dimension, const VariantArray& names,
                                               std::optional<uint16_t> level) const
{
    const auto& info = mCube->dimensions.at(dimension);
    const auto& hierarchy = info.hierarchies.at(0);
    auto index = mNameIndexes.find(dimension);
    if (index == mNameIndexes.end())
        index = mNameIndexes.emplace(dimension, olap::MemberNameIndex(hierarchy)).first;
    std::vector<std::string> wanted;
    for (const auto& name : names.items()) {
        if (name && !name->empty())
            wanted.push_back(*name);
    }
    // One look-up for all names: a server cube answers them in one request.
    const std::vector<std::optional<uint32_t>> found = index->second.findAll(wanted);
    std::set<uint32_t> members;
    for (size_t i = 0; i < wanted.size(); ++i) {
        const std::string* name = &wanted[i];
        const auto& member = found[i];
        const bool onLevel = member && (!level || olap::memberOf(hierarchy, *member).level == *level);
        if (!onLevel) {
            const std::string field = level ? bracketed(info.name) + "." + bracketed(hierarchy.levels.at(*level).name)
                                            : bracketed(info.name);
            failUnknownMember(field, *name);
        }
        members.insert(*member);
    }
    return members;
}

}  // namespace sheet::pivot
