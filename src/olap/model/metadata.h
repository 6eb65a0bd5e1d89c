// Helpers over catalog metadata (schema.h) shared by the store model and the
// connection model: how names are quoted, and the dimension that shows a
// cube's measures as members.
#pragma once

#include "olap/cube/schema.h"

#include <string>
#include <string_view>
#include <vector>

namespace olap {

// The name of the one level of a measures dimension.
inline constexpr const char* kMeasuresLevelName = "MeasuresLevel";

// "[" + name + "]" with every "]" in the name doubled, the way unique names
// quote a name.
std::string bracketed(std::string_view name);

// A member's own part of a name path: "[Q1]", or "&[1997]" when its level
// names members by key (the key marker unique names use).
std::string memberPart(const LevelInfo& level, const MemberInfo& member);

// A dimension named `name` (type Measure, field name "[" + name + "]") whose
// one hierarchy has one regular level, kMeasuresLevelName, holding one member
// per measure in cube order: name and caption the measure's name, unique
// name "[" + name + "].[" + measure + "]". Cube files keep measures apart
// from dimensions; both object models show them through such a dimension.
DimensionInfo measuresDimensionInfo(const std::vector<MeasureInfo>& measures, const std::string& name);

// Fills MemberInfo::firstChild and childCount of `hierarchy` from the parent
// links. Returns an empty text when the members are well formed, else what
// is wrong: a level range that does not match the members, a parent that is
// not on the level above, or children of one parent that are not next to
// each other.
std::string linkChildren(HierarchyInfo& hierarchy);

}  // namespace olap
