#include "olap/store/storemember.h"

#include "olap/store/storedimension.h"
#include "olap/store/storelevel.h"
#include "olap/model/metadata.h"

#include <vector>

namespace olap {

Member::Member(Dimension& owner, size_t hierarchy, uint32_t index) : mOwner(owner), mHierarchy(hierarchy), mIndex(index) {}

const MemberInfo& Member::info() const { return mOwner.info().hierarchies[mHierarchy].members[mIndex]; }

std::string Member::name() const
{
    const HierarchyInfo& hierarchy = mOwner.info().hierarchies[mHierarchy];
    return memberPart(hierarchy.levels[info().level], info());
}

const std::string& Member::caption() const { return info().caption; }
const std::string& Member::uniqueName() const { return info().uniqueName; }

std::string Member::namePath() const
{
    const HierarchyInfo& hierarchy = mOwner.info().hierarchies[mHierarchy];
    std::vector<const MemberInfo*> line;  // this member and its ancestors, bottom up
    for (int32_t at = int32_t(mIndex); at >= 0; at = hierarchy.members[size_t(at)].parent)
        line.push_back(&hierarchy.members[size_t(at)]);
    std::string path;
    for (auto it = line.rbegin(); it != line.rend(); ++it) {
        if (!path.empty())
            path += '.';
        path += memberPart(hierarchy.levels[(*it)->level], **it);
    }
    return path;
}

int Member::childCount() const { return int(info().childCount); }

std::shared_ptr<Member> Member::child(int number) const
{
    if (number < 1 || number > childCount())
        throwBadPosition("child", number, 1, childCount());
    return mOwner.share(mOwner.memberObject(mHierarchy, info().firstChild + uint32_t(number - 1)));
}

Collection<Member> Member::children() const
{
    const size_t hierarchy = mHierarchy;
    const size_t first = info().firstChild;
    return Collection<Member>(
        childCount(), 1,
        [owner = mOwner.self(), hierarchy, first](int k) {
            return owner->share(owner->memberObject(hierarchy, first + size_t(k)));
        },
        "children");
}

std::shared_ptr<Member> Member::parent() const
{
    const int32_t parent = info().parent;
    if (parent < 0)
        return nullptr;
    return mOwner.share(mOwner.memberObject(mHierarchy, size_t(parent)));
}

std::shared_ptr<Level> Member::level() const { return mOwner.share(mOwner.levelObject(mHierarchy, info().level)); }
std::shared_ptr<Dimension> Member::dimension() const { return mOwner.self(); }

}  // namespace olap
