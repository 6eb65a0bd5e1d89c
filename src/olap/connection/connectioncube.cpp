#include "olap/connection/connectioncube.h"

#include "olap/connection/connectiondimension.h"
#include "olap/model/metadata.h"

namespace olap {

KDatabase::KDatabase(std::shared_ptr<const CatalogInfo> catalog) : mCatalog(std::move(catalog))
{
    for (size_t c = 0; c < mCatalog->cubes.size(); ++c)
        mCubes.push_back(std::shared_ptr<KCubeEntry>(new KCubeEntry(mCatalog, c)));
}

const std::string& KDatabase::name() const { return mCatalog->name; }

Collection<KCubeEntry> KDatabase::cubes() const { return Collection<KCubeEntry>(mCubes, 0, "cubes"); }

KCubeEntry::KCubeEntry(std::shared_ptr<const CatalogInfo> catalog, size_t index)
    : mCatalog(std::move(catalog)), mIndex(index)
{
}

KCubeEntry::~KCubeEntry() = default;

const std::string& KCubeEntry::name() const { return info().name; }

std::shared_ptr<KCube> KCubeEntry::definition() const
{
    auto self = std::const_pointer_cast<KCubeEntry>(shared_from_this());
    if (!mCube)
        mCube.reset(new KCube(*self));
    return std::shared_ptr<KCube>(self, mCube.get());
}

KDimensions::KDimensions(std::vector<std::shared_ptr<KDimension>> dimensions) : mDimensions(std::move(dimensions)) {}

std::shared_ptr<KDimension> KDimensions::item(int index) const
{
    if (index < 0 || index >= count())
        throwBadPosition("dimensions", index, 0, count());
    return mDimensions[size_t(index)];
}

std::shared_ptr<KDimension> KDimensions::measuresDimension() const
{
    for (const std::shared_ptr<KDimension>& dimension : mDimensions) {
        if (dimension->dimensionType() == DimensionType::Measure)
            return dimension;
    }
    return nullptr;
}

KCube::KCube(KCubeEntry& entry) : mEntry(entry)
{
    const CubeInfo& cube = entry.info();
    mDimensions.push_back(KDimension::make(
        std::make_shared<const DimensionInfo>(measuresDimensionInfo(cube.measures, kMeasuresDimensionName))));
    for (const DimensionInfo& dimension : cube.dimensions)
        mDimensions.push_back(KDimension::make(std::shared_ptr<const DimensionInfo>(entry.mCatalog, &dimension)));
}

KCube::~KCube() = default;

const std::string& KCube::name() const { return mEntry.name(); }
KDimensions KCube::dimensions() const { return KDimensions(mDimensions); }
std::shared_ptr<KCubeEntry> KCube::cubeEntry() const { return mEntry.shared_from_this(); }
const std::vector<MeasureInfo>& KCube::measures() const { return mEntry.info().measures; }

}  // namespace olap
