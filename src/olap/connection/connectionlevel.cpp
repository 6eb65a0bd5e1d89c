#include "olap/connection/connectionlevel.h"

#include "olap/model/metadata.h"

namespace olap {

KLevel::KLevel(const ObjectTree<ConnectionModel>& tree, size_t hierarchy, size_t index)
    : LevelNode(tree, hierarchy, index)
{
    const DimensionInfo& dimension = tree.shape().info();
    const std::string owning = hierarchy == 0 ? dimension.name : dimension.name + "." + dimension.hierarchies[hierarchy].name;
    mName = bracketed(owning) + "." + bracketed(info().name);
}

}  // namespace olap
