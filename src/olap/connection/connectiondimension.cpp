#include "olap/connection/connectiondimension.h"

#include "olap/connection/connectionlevel.h"
#include "olap/connection/connectionmember.h"

namespace olap {

KDimension::KDimension(std::shared_ptr<const DimensionInfo> info) : mInfo(std::move(info))
{
    for (size_t h = 0; h < mInfo->hierarchies.size(); ++h) {
        mHierarchies.push_back(std::unique_ptr<KHierarchy>(new KHierarchy(*this, h)));
        mMembers.emplace_back(mInfo->hierarchies[h].members.size());
    }
}

KDimension::~KDimension() = default;

std::shared_ptr<KDimension> KDimension::make(std::shared_ptr<const DimensionInfo> info)
{
    return std::shared_ptr<KDimension>(new KDimension(std::move(info)));
}

std::shared_ptr<KDimension> KDimension::self() const
{
    return std::const_pointer_cast<KDimension>(shared_from_this());
}

const std::string& KDimension::name() const { return mInfo->name; }
const std::string& KDimension::fieldName() const { return mInfo->fieldName; }
DimensionType KDimension::dimensionType() const { return mInfo->type; }

Collection<KHierarchy> KDimension::hierarchies() const
{
    return Collection<KHierarchy>(
        int(mHierarchies.size()), 0,
        [owner = self()](int k) { return owner->share(owner->hierarchyObject(size_t(k))); }, "hierarchies");
}

KHierarchy& KDimension::hierarchyObject(size_t hierarchy) const { return *mHierarchies[hierarchy]; }

KLevel& KDimension::levelObject(size_t hierarchy, size_t level) const
{
    return *mHierarchies[hierarchy]->mLevels[level];
}

KMember& KDimension::memberObject(size_t hierarchy, size_t member) const
{
    KDimension& owner = const_cast<KDimension&>(*this);
    return mMembers[hierarchy].get(member, [&] {
        return std::unique_ptr<KMember>(new KMember(owner, hierarchy, uint32_t(member)));
    });
}

KHierarchy::KHierarchy(KDimension& owner, size_t index) : mOwner(owner), mIndex(index)
{
    const size_t levels = owner.info().hierarchies[index].levels.size();
    for (size_t l = 0; l < levels; ++l)
        mLevels.push_back(std::unique_ptr<KLevel>(new KLevel(owner, index, l)));
}

KHierarchy::~KHierarchy() = default;

const std::string& KHierarchy::name() const { return mOwner.info().hierarchies[mIndex].name; }
std::shared_ptr<KDimension> KHierarchy::dimension() const { return mOwner.self(); }

Collection<KLevel> KHierarchy::levels() const
{
    const size_t hierarchy = mIndex;
    return Collection<KLevel>(
        int(mLevels.size()), 0,
        [owner = mOwner.self(), hierarchy](int k) { return owner->share(owner->levelObject(hierarchy, size_t(k))); },
        "levels");
}

}  // namespace olap
