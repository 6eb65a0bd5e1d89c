#include "olap/store/storeloader.h"

#include "olap/store/bwcfile.h"
#include "olap/cube/cubefile.h"
#include "platform/core/failure.h"
#include "olap/store/storefiles.h"

namespace olap {

namespace {

void checkStoreName(std::string_view applicationPath, std::string_view storeCubeName)
{
    if (storeCubeName.empty())
        storeFailure(platform::err::kBadFileName, applicationFolder(applicationPath), "no store cube name was given");
    if (storeCubeName.find_first_of("/\\") != std::string_view::npos) {
        storeFailure(platform::err::kBadFileName, std::string(storeCubeName),
                     "a store cube name is a file name without a folder");
    }
}

// The store cube's data: the chosen cube of the cube file with the companion.
StoreCubeData storeCubeData(std::string_view applicationPath, std::string_view storeCubeName, int cubeNumber)
{
    const std::filesystem::path cubPath = storeFile(applicationPath, storeCubeName, ".cub");
    const std::filesystem::path bwfPath = storeFile(applicationPath, storeCubeName, ".bwf");
    const std::shared_ptr<const CubeFile> file = CubeFile::open(cubPath);
    const CatalogInfo& catalog = file->catalog();
    if (cubeNumber < 1 || size_t(cubeNumber) > catalog.cubes.size()) {
        storeFailure(platform::err::kSubscript, cubPath,
                     "there is no cube number " + std::to_string(cubeNumber) + " (the file holds "
                         + std::to_string(catalog.cubes.size()) + ")");
    }
    StoreCubeData data;
    data.storeName = std::string(storeCubeName);
    data.catalogName = catalog.name;
    data.companion = readStoreCompanion(bwfPath);
    data.cube = catalog.cubes[size_t(cubeNumber) - 1];
    for (DimensionInfo& dimension : data.cube.dimensions) {
        for (HierarchyInfo& hierarchy : dimension.hierarchies)
            hierarchy.memberOfKey = {};  // facts stay in the cube file
    }
    if (const std::string problem = storeCubeProblem(data); !problem.empty())
        storeFailure(platform::err::kPathFileAccess, bwfPath, "does not fit its cube file: " + problem);
    return data;
}

}  // namespace

void writeStoreCube(std::string_view applicationPath, std::string_view storeCubeName,
                    const std::filesystem::path& target, int cubeNumber)
{
    checkStoreName(applicationPath, storeCubeName);
    writeBwcFile(target, storeCubeData(applicationPath, storeCubeName, cubeNumber));
}

bool extractStoreCube(std::string_view applicationPath, std::string_view storeCubeName,
                      const std::filesystem::path& target, int cubeNumber, std::string* problem)
{
    try {
        writeStoreCube(applicationPath, storeCubeName, target, cubeNumber);
        return true;
    } catch (const platform::Failure& failure) {
        if (problem)
            *problem = failure.description();
        return false;
    }
}

}  // namespace olap
