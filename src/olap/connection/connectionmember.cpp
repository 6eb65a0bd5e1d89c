#include "olap/connection/connectionmember.h"

#include "olap/connection/connectiondimension.h"
#include "olap/connection/connectionlevel.h"

namespace olap {

KMember::KMember(KDimension& owner, size_t hierarchy, uint32_t index)
    : mOwner(owner), mHierarchy(hierarchy), mIndex(index)
{
}

const MemberInfo& KMember::info() const { return mOwner.info().hierarchies[mHierarchy].members[mIndex]; }

const std::string& KMember::name() const { return info().uniqueName; }
const std::string& KMember::uniqueName() const { return info().uniqueName; }
const std::string& KMember::caption() const { return info().caption; }
int KMember::levelDepth() const { return int(info().level); }
int KMember::childCount() const { return int(info().childCount); }

std::shared_ptr<KMember> KMember::parent() const
{
    const int32_t parent = info().parent;
    if (parent < 0)
        return nullptr;
    return mOwner.share(mOwner.memberObject(mHierarchy, size_t(parent)));
}

Collection<KMember> KMember::children() const
{
    const size_t hierarchy = mHierarchy;
    const size_t first = info().firstChild;
    return Collection<KMember>(
        childCount(), 0,
        [owner = mOwner.self(), hierarchy, first](int k) {
            return owner->share(owner->memberObject(hierarchy, first + size_t(k)));
        },
        "children");
}

std::shared_ptr<KLevel> KMember::level() const { return mOwner.share(mOwner.levelObject(mHierarchy, info().level)); }
std::shared_ptr<KDimension> KMember::dimension() const { return mOwner.self(); }

}  // namespace olap
