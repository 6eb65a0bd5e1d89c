#include "olap/store/storedimension.h"

#include "olap/store/storelevel.h"
#include "olap/store/storemember.h"

namespace olap {

Dimension::Dimension(std::shared_ptr<const DimensionInfo> info, bool specialFlag)
    : mInfo(std::move(info)), mSpecialFlag(specialFlag)
{
    for (size_t h = 0; h < mInfo->hierarchies.size(); ++h) {
        mHierarchies.push_back(std::unique_ptr<Hierarchy>(new Hierarchy(*this, h)));
        mMembers.emplace_back(mInfo->hierarchies[h].members.size());
    }
}

Dimension::~Dimension() = default;

std::shared_ptr<Dimension> Dimension::make(std::shared_ptr<const DimensionInfo> info, bool specialFlag)
{
    return std::shared_ptr<Dimension>(new Dimension(std::move(info), specialFlag));
}

std::shared_ptr<Dimension> Dimension::self() const
{
    return std::const_pointer_cast<Dimension>(shared_from_this());
}

const std::string& Dimension::name() const { return mInfo->name; }
const std::string& Dimension::fieldName() const { return mInfo->fieldName; }
DimensionType Dimension::dimensionType() const { return mInfo->type; }
bool Dimension::specialFlag() const { return mSpecialFlag; }
int Dimension::hierarchyCount() const { return int(mHierarchies.size()); }

Collection<Hierarchy> Dimension::hierarchyList() const
{
    return Collection<Hierarchy>(
        hierarchyCount(), 1, [owner = self()](int k) { return owner->share(owner->hierarchyObject(size_t(k))); },
        "hierarchyList");
}

std::shared_ptr<Hierarchy> Dimension::hierarchy(int number) const
{
    if (number < 1 || number > hierarchyCount())
        throwBadPosition("hierarchy", number, 1, hierarchyCount());
    return share(hierarchyObject(size_t(number - 1)));
}

Hierarchy& Dimension::hierarchyObject(size_t hierarchy) const { return *mHierarchies[hierarchy]; }

Level& Dimension::levelObject(size_t hierarchy, size_t level) const
{
    return *mHierarchies[hierarchy]->mLevels[level];
}

Member& Dimension::memberObject(size_t hierarchy, size_t member) const
{
    Dimension& owner = const_cast<Dimension&>(*this);
    return mMembers[hierarchy].get(member, [&] {
        return std::unique_ptr<Member>(new Member(owner, hierarchy, uint32_t(member)));
    });
}

Hierarchy::Hierarchy(Dimension& owner, size_t index) : mOwner(owner), mIndex(index)
{
    const size_t levels = owner.info().hierarchies[index].levels.size();
    for (size_t l = 0; l < levels; ++l)
        mLevels.push_back(std::unique_ptr<Level>(new Level(owner, index, l)));
}

Hierarchy::~Hierarchy() = default;

const std::string& Hierarchy::name() const { return mOwner.info().hierarchies[mIndex].name; }
int Hierarchy::levelCount() const { return int(mLevels.size()); }
std::shared_ptr<Dimension> Hierarchy::dimension() const { return mOwner.self(); }

std::shared_ptr<Level> Hierarchy::level(int number) const
{
    if (number < 1 || number > levelCount())
        throwBadPosition("level", number, 1, levelCount());
    return mOwner.share(*mLevels[size_t(number - 1)]);
}

}  // namespace olap
