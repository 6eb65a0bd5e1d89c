// Loading the chosen cube and placing its dimensions in the areas of the
// dimension layout step: a store cube through the store model, a local cube
// file or a server cube through the connection model.
#include "wizard/control/nxpivotwizardctrl.h"

#include "wizard/cube/localcube.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QListWidget>

namespace {

bool sameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString nameOf(const std::string& name) { return QString::fromStdString(name); }

}  // namespace

bool NxPivotWizardCtrl::LoadCubeDetails()
{
    bool result = false;
    trap([&] {
        // Reusing the held cube keeps the user's arrangement of its dimensions.
        if (loadedCube && loadedKind == cubeSourceKind && sameText(loadedPath, GetStoreCubePath())) {
            result = true;
            return;
        }
        loadedCube.reset();
        forgetLoadedIdentity();
        loadedCube = GetCube();  // sets loadedPath
        if (!loadedCube)
            return;
        ClearInputBoxes();
        placeStoreDimensions(*loadedCube);
        // Set last: a cube whose lists could not be filled is never reused.
        loadedKind = cubeSourceKind;
        result = true;
    });
    return result;
}

// Nothing counts as loaded until a loader has filled the lists, so a load
// that fails half-way leaves nothing to reuse.
void NxPivotWizardCtrl::forgetLoadedIdentity()
{
    loadedKind = 0;
    loadedPath.clear();
    loadedServerKey.clear();
}

void NxPivotWizardCtrl::placeStoreDimensions(const olap::Cube& cube)
{
    const olap::Dimension& measures = platform::requireObject(cube.measuresDimension().get(), "measures dimension");
    measuresDimensionName = nameOf(measures.name());
    measuresInLayout = measures.specialFlag();
    if (measuresInLayout)
        lstCubeDetails[kRowsList]->addItem(measuresDimensionName);
    QString firstTime;
    if (cube.timeDimensionCount() > 0) {
        firstTime = nameOf(cube.timeDimension(1)->name());
        lstCubeDetails[kColumnsList]->addItem(firstTime);
    }
    for (int i = 1; i <= cube.dimensionCount(); ++i) {
        const std::shared_ptr<olap::Dimension> dimension = cube.dimension(i);
        const QString name = nameOf(dimension->name());
        const olap::DimensionType type = dimension->dimensionType();
        // Unknown and measure dimensions are never offered.
        const bool offered = (type == olap::DimensionType::Time && name != firstTime)
                             || type == olap::DimensionType::Other;
        if (offered && !dimension->specialFlag())
            offerDimension(name);
    }
}

void NxPivotWizardCtrl::offerDimension(const QString& name)
{
    if (lstCubeDetails[kRowsList]->count() == 0)
        lstCubeDetails[kRowsList]->addItem(name);
    else if (lstCubeDetails[kColumnsList]->count() == 0)
        lstCubeDetails[kColumnsList]->addItem(name);
    else
        lstCubeDetails[kBackgroundList]->addItem(name);
}

bool NxPivotWizardCtrl::LoadKCubeDetails()
{
    bool result = false;
    trap([&] {
        const bool localFile = cubeSourceKind == NxCubeSelectorCtrl::LocalCubeFile;
        const bool sameCube = localFile ? sameText(loadedPath, sourceCube) : sameText(loadedServerKey, serverCubeKey());
        if (loadedKCube && loadedKind == cubeSourceKind && sameCube) {
            result = true;
            return;
        }
        loadedKCube.reset();
        forgetLoadedIdentity();
        loadedKCube = openKCube();
        if (!loadedKCube)
            return;
        CheckMultiHierarchies();
        ClearInputBoxes();
        measuresInLayout = false;
        placeKCubeDimensions(*loadedKCube);
        loadedKind = cubeSourceKind;
        if (localFile)
            loadedPath = sourceCube;
        else
            loadedServerKey = serverCubeKey();
        result = true;
    });
    return result;
}

QString NxPivotWizardCtrl::serverCubeKey() const
{
    return (sourceCube + sourceCatalog + sourceProvider + sourceLocation).toUpper();
}

// Failures of opening or connecting surface at the first look at the
// databases and go to the trap from there.
std::shared_ptr<olap::KCube> NxPivotWizardCtrl::openKCube()
{
    olap::OlapConnection connection;
    if (cubeSourceKind == NxCubeSelectorCtrl::LocalCubeFile) {
        openWithLocalProvider(connection, sourceCube);
        return firstCubeEntry(connection)->definition();
    }
    std::string connectionName;  // none matching: the connection fails
    for (const std::shared_ptr<const olap::Provider>& provider : connection.providers()) {
        if (nameOf(provider->providerName()) == sourceProvider) {
            providerConnectionName = nameOf(provider->providerString());
            connectionName = provider->connectionName();
            break;
        }
    }
    connection.connect(connectionName, sourceLocation.toStdString(), std::string(), std::string());
    // A server that cannot be reached, refuses the login or answers nonsense
    // is something the user can put right: say what happened, stay on the
    // step, and let the next Next try again.
    if (connection.lastFailure() && !connectionName.empty()) {
        messages().showMessage(QString::fromStdString(connection.lastFailure()->description()),
                               QStringLiteral("Server Error"), MessageIcon::Exclamation);
        return nullptr;
    }
    for (const std::shared_ptr<olap::KDatabase>& database : connection.databases()) {
        if (nameOf(database->name()) != sourceCatalog)
            continue;
        for (const std::shared_ptr<olap::KCubeEntry>& entry : database->cubes()) {
            if (nameOf(entry->name()) == sourceCube)
                return entry->definition();
        }
        break;  // only the first database of that name is searched
    }
    return nullptr;
}

void NxPivotWizardCtrl::placeKCubeDimensions(const olap::KCube& cube)
{
    const olap::KDimensions dimensions = cube.dimensions();
    measuresDimensionName =
        nameOf(platform::requireObject(dimensions.measuresDimension().get(), "measures dimension").name());
    QString firstTime;
    for (const std::shared_ptr<olap::KDimension>& dimension : dimensions) {
        if (dimension->dimensionType() == olap::DimensionType::Time) {
            firstTime = nameOf(dimension->name());
            lstCubeDetails[kColumnsList]->addItem(firstTime);
            break;
        }
    }
    for (const std::shared_ptr<olap::KDimension>& dimension : dimensions) {
        const QString name = nameOf(dimension->name());
        if (dimension->dimensionType() != olap::DimensionType::Measure && name != firstTime)
            offerDimension(name);
    }
}

bool NxPivotWizardCtrl::CheckMultiHierarchies()
{
    bool result = false;
    trap([&] {
        const olap::KCube& cube = platform::requireObject(loadedKCube.get(), "loaded cube");
        for (const std::shared_ptr<olap::KDimension>& dimension : cube.dimensions()) {
            if (dimension->hierarchies().count() >= 2) {
                const QString cr = QStringLiteral("\r");
                messages().showMessage(
                    QStringLiteral("The cube you have selected contains multiple hierarchies.") + cr + cr
                        + QStringLiteral("You may have to drag the dimensions which contain multiple hierarchies "
                                         "on to the PivotTable yourself."),
                    QStringLiteral("Warning"), MessageIcon::Information);
                break;
            }
        }
        result = true;
    });
    return result;
}
