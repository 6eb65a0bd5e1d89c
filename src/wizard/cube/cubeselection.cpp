// The cube selection step: taking over the cube selector's choice, the
// checks that refuse it, and the files that belong to a store cube.
#include "wizard/control/nxpivotwizardctrl.h"

#include "olap/connection/providerlocalfile.h"
#include "widgets/nxcubeselectorctrl.h"

#include <QFileInfo>

#include <algorithm>

namespace {

const QString kFileRequired = QStringLiteral("File required");
const QString kServerError = QStringLiteral("Server Error");

// A plain file: a folder named like a cube file is not one.
bool fileExists(const QString& path) { return QFileInfo(path).isFile(); }

// The text after the last '/' or '\'.
QString lastPathComponent(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

}  // namespace

void NxPivotWizardCtrl::SetUpConnectionDialog()
{
    trap([&] { NxCubeSelectorCtrl1->setSelectorAppPath(mApplicationPath); });
}

bool NxPivotWizardCtrl::CheckValidFileSelected()
{
    bool result = false;
    trap([&] {
        cubeFilePath.clear();
        cubeSourceKind = static_cast<quint8>(NxCubeSelectorCtrl1->selectorSourceType());
        copyCubeChoice();
        result = cubeChoiceIsValid();
    });
    return result;
}

// A kind the wizard does not know copies nothing: the record keeps what an
// earlier choice left in it.
void NxPivotWizardCtrl::copyCubeChoice()
{
    switch (cubeSourceKind) {
    case NxCubeSelectorCtrl::StoreCube:
    case NxCubeSelectorCtrl::LocalCubeFile:
        sourceCube = NxCubeSelectorCtrl1->selectorCubeName();
        sourceLocation.clear();
        sourceCatalog.clear();
        sourceProvider = QString::fromLatin1(olap::kLocalProviderString);
        if (cubeSourceKind == NxCubeSelectorCtrl::LocalCubeFile)
            cubeFilePath = sourceCube;
        break;
    case NxCubeSelectorCtrl::ServerCube:
        sourceCube = NxCubeSelectorCtrl1->selectorCubeName();
        sourceLocation = NxCubeSelectorCtrl1->selectorServer();
        sourceCatalog = NxCubeSelectorCtrl1->selectorCatalog();
        sourceProvider = NxCubeSelectorCtrl1->selectorProvider();
        break;
    default:
        break;
    }
}

bool NxPivotWizardCtrl::cubeChoiceIsValid()
{
    const auto refuse = [this](qint32 code, const QString& data, const QString& title) {
        showCatalogueMessage(code, data, title, MessageIcon::Exclamation);
        return false;
    };
    switch (cubeSourceKind) {
    case NxCubeSelectorCtrl::StoreCube:
        if (sourceCube.isEmpty())
            return refuse(50008, QString(), kFileRequired);
        return checkForCubAndBwc(sourceCube);
    case NxCubeSelectorCtrl::LocalCubeFile:
        if (!fileExists(sourceCube))
            return refuse(50021, sourceCube, kFileRequired);
        // At least one character before the extension.
        if (sourceCube.size() >= 5 && sourceCube.right(4).toUpper() == QStringLiteral(".CUB"))
            return true;
        return refuse(50018, QString(), kFileRequired);
    case NxCubeSelectorCtrl::ServerCube:
        // Without a server the cube name means nothing, so it is checked first.
        if (sourceLocation.isEmpty())
            return refuse(50019, QString(), kServerError);
        if (sourceCube.isEmpty())
            return refuse(50009, QString(), kServerError);
        return true;
    default:
        return true;
    }
}

bool NxPivotWizardCtrl::checkForCubAndBwc(const QString& aCube)
{
    bool result = false;
    trap([&] {
        const QString folder = applicationFolder(mApplicationPath);
        const QString cubPath = folder + aCube + QStringLiteral(".cub");
        const QString bwfPath = folder + aCube + QStringLiteral(".bwf");
        const QString title = QStringLiteral("File Missing Error");
        if (!fileExists(cubPath))
            showCatalogueMessage(50022, cubPath, title, MessageIcon::Exclamation);
        else if (!fileExists(bwfPath))
            showCatalogueMessage(50023, bwfPath, title, MessageIcon::Exclamation);
        else
            result = true;
    });
    return result;
}

QString NxPivotWizardCtrl::GetStoreCubePath()
{
    QString result;
    trap([&] { result = applicationFolder(mApplicationPath) + sourceCube + QStringLiteral(".BWC"); });
    return result;
}

QString NxPivotWizardCtrl::CheckForCubFile()
{
    QString result;
    trap([&] {
        switch (cubeSourceKind) {
        case NxCubeSelectorCtrl::StoreCube: {
            if (!checkForCubAndBwc(sourceCube))
                return;
            // The store cube was loaded from N.BWC beside N.cub.
            QString name = lastPathComponent(loadedPath);
            name.chop(4);
            result = applicationFolder(mApplicationPath) + name + QStringLiteral(".cub");
            break;
        }
        case NxCubeSelectorCtrl::LocalCubeFile:
            if (fileExists(sourceCube))
                result = sourceCube;
            else
                showCatalogueMessage(50021, sourceCube, QStringLiteral("Invalid row"), MessageIcon::Stop);
            break;
        default:
            break;  // a server cube is connected to by name
        }
    });
    return result;
}
