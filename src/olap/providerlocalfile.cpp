#include "providerlocalfile.h"

#include "cubefile.h"

namespace olap {

Catalogs LocalFileProvider::openLocalCube(const std::filesystem::path& file) const
{
    const std::shared_ptr<const CubeFile> cubeFile = CubeFile::open(file);
    // The catalog pointer shares the file's lifetime: the file stays open
    // while any connection object built on it is held.
    return {std::shared_ptr<const CatalogInfo>(cubeFile, &cubeFile->catalog())};
}

Catalogs LocalFileProvider::connect(const std::string& dataSource, const std::string&, const std::string&) const
{
    return openLocalCube(dataSource);
}

}  // namespace olap
