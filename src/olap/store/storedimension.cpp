#include "olap/store/storedimension.h"

#include "olap/model/objecttreeimpl.h"
#include "olap/store/storelevel.h"
#include "olap/store/storemember.h"

namespace olap {

// The shared tree's code for the store model, compiled here once.
template class ObjectTree<StoreModel>;

Dimension::Dimension(std::shared_ptr<const DimensionInfo> info, bool specialFlag)
    : DimensionNode(*this, std::move(info)), mSpecialFlag(specialFlag)
{
}

Dimension::~Dimension() = default;

std::shared_ptr<Dimension> Dimension::make(std::shared_ptr<const DimensionInfo> info, bool specialFlag)
{
    return std::shared_ptr<Dimension>(new Dimension(std::move(info), specialFlag));
}

Collection<Hierarchy> Dimension::hierarchyList() const { return mTree.hierarchies(1, "hierarchyList"); }

std::shared_ptr<Hierarchy> Dimension::hierarchy(int number) const
{
    return mTree.hierarchy(checkedOffset("hierarchy", number, 1, hierarchyCount()));
}

std::shared_ptr<Level> Hierarchy::level(int number) const
{
    return mTree.level(mIndex, checkedOffset("level", number, 1, levelCount()));
}

}  // namespace olap
