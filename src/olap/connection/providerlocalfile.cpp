#include "olap/connection/providerlocalfile.h"

#include "olap/cube/cubefile.h"
#include "platform/core/failure.h"

#include <map>
#include <mutex>

namespace olap {

namespace {

// The open files by the catalog they hand out, so that a query on a catalog
// finds the file to read facts from. Weak: the catalog's holders keep the
// file open, not this list.
struct OpenFiles {
    std::mutex mutex;
    std::map<const CatalogInfo*, std::weak_ptr<const CubeFile>> files;

    void add(const std::shared_ptr<const CubeFile>& file)
    {
        const std::lock_guard lock(mutex);
        std::erase_if(files, [](const auto& entry) { return entry.second.expired(); });
        files[&file->catalog()] = file;
    }

    std::shared_ptr<const CubeFile> find(const CatalogInfo* catalog)
    {
        const std::lock_guard lock(mutex);
        const auto found = files.find(catalog);
        return found == files.end() ? nullptr : found->second.lock();
    }
};

OpenFiles& openFiles()
{
    static OpenFiles files;
    return files;
}

}  // namespace

Catalogs LocalFileProvider::openLocalCube(const std::filesystem::path& file) const
{
    const std::shared_ptr<const CubeFile> cubeFile = CubeFile::open(file);
    openFiles().add(cubeFile);
    // The catalog pointer shares the file's lifetime: the file stays open
    // while any connection object built on it is held.
    return {std::shared_ptr<const CatalogInfo>(cubeFile, &cubeFile->catalog())};
}

Catalogs LocalFileProvider::connect(const std::string& dataSource, const std::string&, const std::string&) const
{
    return openLocalCube(dataSource);
}

QueryResult LocalFileProvider::query(const std::shared_ptr<const CatalogInfo>& catalog, size_t cube,
                                     const PivotQuery& query) const
{
    const auto file = catalog ? openFiles().find(catalog.get()) : nullptr;
    if (!file)
        throw platform::Failure(platform::err::kInvalidCall,
                                "The local cube file provider did not open this catalog", "olap");
    if (cube >= catalog->cubes.size())
        throw platform::Failure(platform::err::kSubscript,
                                "Cube " + std::to_string(cube) + " of catalog \"" + catalog->name + "\" does not exist",
                                "olap");
    return runQuery(catalog->cubes[cube], *file->facts(cube), query);
}

}  // namespace olap
