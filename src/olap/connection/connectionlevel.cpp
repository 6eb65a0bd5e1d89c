#include "olap/connection/connectionlevel.h"

#include "olap/connection/connectiondimension.h"
#include "olap/connection/connectionmember.h"
#include "olap/model/metadata.h"

namespace olap {

KLevel::KLevel(KDimension& owner, size_t hierarchy, size_t index)
    : mOwner(owner), mHierarchy(hierarchy), mIndex(index)
{
    const DimensionInfo& dimension = mOwner.info();
    const std::string owning = hierarchy == 0 ? dimension.name : dimension.name + "." + dimension.hierarchies[hierarchy].name;
    mName = bracketed(owning) + "." + bracketed(info().name);
}

const LevelInfo& KLevel::info() const { return mOwner.info().hierarchies[mHierarchy].levels[mIndex]; }

olap::LevelType KLevel::LevelType() const { return info().type; }
int KLevel::index() const { return int(mIndex); }
int KLevel::levelMemberTotal() const { return int(info().memberCount); }
int KLevel::memberCount() const { return int(info().memberCount); }

Collection<KMember> KLevel::members() const
{
    const size_t hierarchy = mHierarchy;
    const size_t first = info().firstMember;
    return Collection<KMember>(
        levelMemberTotal(), 0,
        [owner = mOwner.self(), hierarchy, first](int k) {
            return owner->share(owner->memberObject(hierarchy, first + size_t(k)));
        },
        "members");
}

std::shared_ptr<KLevel> KLevel::childLevel() const
{
    if (mIndex + 1 >= mOwner.info().hierarchies[mHierarchy].levels.size())
        return nullptr;
    return mOwner.share(mOwner.levelObject(mHierarchy, mIndex + 1));
}

std::shared_ptr<KHierarchy> KLevel::hierarchy() const { return mOwner.share(mOwner.hierarchyObject(mHierarchy)); }
std::shared_ptr<KDimension> KLevel::dimension() const { return mOwner.self(); }

}  // namespace olap
