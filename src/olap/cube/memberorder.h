// The order of a level's members under one parent, as a level names it
// (cubebuilder.h, MemberOrder). Private to the builder and the writer.
#pragma once

#include "olap/cube/builderdata.h"

#include <string_view>

namespace olap {

// Whether `a` comes strictly before `b` in `level`'s order. Equal members
// keep the order they were first seen in (callers sort stably).
bool memberBefore(const LevelSpec& level, const MemberBuild& a, const MemberBuild& b);

// Texts that are both numbers compare as numbers ("9" before "10"), others
// as bytes; a number comes before a text. -1, 0 or 1.
int compareMemberTexts(std::string_view a, std::string_view b);

}  // namespace olap
