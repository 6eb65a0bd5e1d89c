#include "olap/cube/memberorder.h"

#include <charconv>
#include <optional>

namespace olap {

namespace {

std::optional<double> numberIn(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int compareNumbers(double a, double b) { return a < b ? -1 : b < a ? 1 : 0; }

const std::string& captionOf(const MemberBuild& member)
{
    return member.caption.empty() ? member.name : member.caption;
}

}  // namespace

int compareMemberTexts(std::string_view a, std::string_view b)
{
    const auto x = numberIn(a), y = numberIn(b);
    if (x && y)
        return compareNumbers(*x, *y);
    if (x || y)
        return x ? -1 : 1;
    return a < b ? -1 : b < a ? 1 : 0;
}

bool memberBefore(const LevelSpec& level, const MemberBuild& a, const MemberBuild& b)
{
    int order = 0;
    switch (level.order) {
    case MemberOrder::FirstSeen:
        return false;
    case MemberOrder::Name:
        order = compareMemberTexts(captionOf(a), captionOf(b));
        break;
    case MemberOrder::Key:
        order = compareMemberTexts(a.name, b.name);
        break;
    case MemberOrder::Ordinal:
        order = compareNumbers(a.ordinal, b.ordinal);
        break;
    }
    return level.descending ? order > 0 : order < 0;
}

}  // namespace olap
