// Opening a cube of the application store. The store reader writes the
// store cube N into the transient file N.BWC in the application folder; the
// file lives only while it is loaded, so a store folder never keeps one.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/cube/localcube.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "widgets/nxcubeselectorctrl.h"  // completes the store loader's link to a selector
#include "widgets/nxstoreloader.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Which cube of the store cube's catalog the store reader writes: the first.
constexpr int kFirstStoreCube = 1;

// Loads the store cube file `bwcPath` and deletes it. Nothing when the load
// or the deletion fails; the file is deleted whenever it can be.
std::shared_ptr<olap::Cube> loadAndRemove(const QString& bwcPath)
{
    auto cube = std::make_shared<olap::Cube>();
    bool loaded = true;
    try {
        cube->loadFromFile(bwcPath.toStdString(), true);
    } catch (const platform::Failure&) {
        loaded = false;  // a damaged or foreign file is the user's to replace: reported, not trapped
    }
    if (QFile::remove(bwcPath) && loaded)
        return cube;
    QFile::remove(bwcPath);
    return nullptr;
}

}  // namespace

std::shared_ptr<olap::Cube> NxPivotWizardCtrl::GetCube()
{
    std::shared_ptr<olap::Cube> result;
    trap([&] {
        const QString cubPath = applicationFolder(mApplicationPath) + sourceCube + QStringLiteral(".cub");
        const QString bwcPath = GetStoreCubePath();
        // A store cube file that is already there is used as it is.
        if (!QFileInfo::exists(bwcPath)
            && !NxStoreLoader::extractStoreCube(mApplicationPath, sourceCube, bwcPath, kFirstStoreCube)) {
            showCatalogueMessage(50010, sourceCube, QStringLiteral("Read Error"), MessageIcon::Stop);
            return;
        }
        std::shared_ptr<olap::Cube> cube = loadAndRemove(bwcPath);
        if (!cube) {
            showCatalogueMessage(50011, bwcPath, QStringLiteral("Cube load"), MessageIcon::Stop);
            return;
        }
        // The PivotTable connects to N.cub: its catalog and cube names are
        // those the cube file itself gives.
        olap::OlapConnection connection;
        openWithLocalProvider(connection, cubPath);
        const std::shared_ptr<olap::KDatabase> database = connection.databases().item(0);
        const QString catalogName = QString::fromStdString(database->name());
        const QString cubeName = QString::fromStdString(database->cubes().item(0)->name());
        storeCatalogName = catalogName;
        storeCubeName = cubeName;
        loadedPath = bwcPath;
        result = cube;
    });
    return result;
}
