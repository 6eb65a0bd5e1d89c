#include "olap/store/storecube.h"

#include "olap/store/bwcfile.h"
#include "olap/store/storedimension.h"
#include "olap/model/metadata.h"

namespace olap {

namespace {

const std::string kNoText;
const std::vector<MeasureInfo> kNoMeasures;

}  // namespace

Cube::Cube() = default;
Cube::~Cube() = default;

void Cube::loadFromFile(const std::filesystem::path& path, bool verify)
{
    auto data = std::make_shared<const StoreCubeData>(readBwcFile(path, verify));
    const StoreCompanion& companion = data->companion;
    std::vector<std::shared_ptr<Dimension>> dimensions;
    std::vector<std::shared_ptr<Dimension>> timeDimensions;
    auto measures = std::make_shared<const DimensionInfo>(
        measuresDimensionInfo(data->cube.measures, kMeasuresDimensionName));
    dimensions.push_back(Dimension::make(std::move(measures), companion.measuresSpecial));
    for (const DimensionInfo& info : data->cube.dimensions) {
        if (info.name == companion.measureListDimension)
            continue;  // the cube's own measure list is reached as measureListDimension()
        dimensions.push_back(Dimension::make(std::shared_ptr<const DimensionInfo>(data, &info), false));
        if (info.type == DimensionType::Time)
            timeDimensions.push_back(dimensions.back());
    }
    std::shared_ptr<Dimension> measureList;
    if (!companion.measureListDimension.empty()) {
        measureList = Dimension::make(std::make_shared<const DimensionInfo>(measuresDimensionInfo(
                                          data->cube.measures, companion.measureListDimension)),
                                      true);
    }
    // Nothing above changed the cube, so a failed load leaves it as it was.
    mData = std::move(data);
    mDimensions = std::move(dimensions);
    mTimeDimensions = std::move(timeDimensions);
    mMeasureList = std::move(measureList);
}

bool Cube::isLoaded() const { return mData != nullptr; }
const std::string& Cube::name() const { return mData ? mData->storeName : kNoText; }
const std::string& Cube::catalogName() const { return mData ? mData->catalogName : kNoText; }
const std::string& Cube::cubeName() const { return mData ? mData->cube.name : kNoText; }
const std::vector<MeasureInfo>& Cube::measures() const { return mData ? mData->cube.measures : kNoMeasures; }

std::shared_ptr<Dimension> Cube::measuresDimension() const
{
    return mDimensions.empty() ? nullptr : mDimensions.front();
}

std::shared_ptr<Dimension> Cube::measureListDimension() const { return mMeasureList; }

int Cube::dimensionCount() const { return int(mDimensions.size()); }

std::shared_ptr<Dimension> Cube::dimension(int number) const
{
    if (number < 1 || number > dimensionCount())
        throwBadPosition("dimension", number, 1, dimensionCount());
    return mDimensions[size_t(number - 1)];
}

int Cube::timeDimensionCount() const { return int(mTimeDimensions.size()); }

std::shared_ptr<Dimension> Cube::timeDimension(int number) const
{
    if (number < 1 || number > timeDimensionCount())
        throwBadPosition("timeDimension", number, 1, timeDimensionCount());
    return mTimeDimensions[size_t(number - 1)];
}

std::shared_ptr<Dimension> Cube::dimensionByName(std::string_view name) const
{
    for (const std::shared_ptr<Dimension>& dimension : mDimensions) {
        if (dimension->name() == name)
            return dimension;
    }
    if (mMeasureList && mMeasureList->name() == name)
        return mMeasureList;
    return nullptr;
}

}  // namespace olap
