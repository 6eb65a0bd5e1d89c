#include "olap/connection/connectiondimension.h"

#include "olap/connection/connectionlevel.h"
#include "olap/connection/connectionmember.h"
#include "olap/model/objecttreeimpl.h"

namespace olap {

// The shared tree's code for the connection model, compiled here once.
template class ObjectTree<ConnectionModel>;

KDimension::KDimension(std::shared_ptr<const DimensionInfo> info) : DimensionNode(*this, std::move(info)) {}

KDimension::~KDimension() = default;

std::shared_ptr<KDimension> KDimension::make(std::shared_ptr<const DimensionInfo> info)
{
    return std::shared_ptr<KDimension>(new KDimension(std::move(info)));
}

}  // namespace olap
