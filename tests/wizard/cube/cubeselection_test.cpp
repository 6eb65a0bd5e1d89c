// Leaving the cube selection step: the choice taken from the cube selector,
// its refusals in their order, and the cube file a PivotTable connects to.
#include "cubestep.h"
#include "olap/store/storecompanion.h"
#include "widgets/smallcube.h"

#include <QDir>
#include <QFile>

namespace {

const QString kCr = QStringLiteral("\r");

class CubeSelection : public CubeStep {
protected:
    // Store cube "Sales": N.cub and N.bwf in the store folder.
    void writeStoreSales()
    {
        writeSmallCube(storePath(QStringLiteral("Sales.cub")).toStdString());
        olap::writeStoreCompanion(storePath(QStringLiteral("Sales.bwf")).toStdString(), {});
    }
    void expectRefusal(const QString& text, const QString& title, MessageIcon icon = MessageIcon::Exclamation)
    {
        EXPECT_FALSE(next());
        EXPECT_EQ(wizard.currentStep(), 1);
        const RecordedMessage shown = messages.single();
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.title, title);
        EXPECT_EQ(shown.icon, icon);
        EXPECT_FALSE(trapped());
    }
};

TEST_F(CubeSelection, StoreKindWithoutAChosenCubeSaysNoCubeFileSelected)
{
    chooseStoreCube(QString());
    expectRefusal(QStringLiteral("No cube file selected"), QStringLiteral("File required"));
}

TEST_F(CubeSelection, StoreCubeWithFilesGoneMissingNamesTheFirstMissingFile)
{
    struct Case {
        QStringList removed;
        const char* kind;
        QString named;
    };
    const Case cases[] = {{{QStringLiteral("Sales.bwf")}, "bwf", QStringLiteral("Sales.bwf")},
                          {{QStringLiteral("Sales.cub"), QStringLiteral("Sales.bwf")}, "cub", QStringLiteral("Sales.cub")}};
    for (const Case& c : cases) {
        writeStoreSales();
        chooseStoreCube(QStringLiteral("Sales"));  // listed while both files are there
        for (const QString& name : c.removed)
            QFile::remove(storePath(name));
        messages.clear();
        expectRefusal(QStringLiteral("Could not find the '%1' file for this cube : ").arg(QLatin1String(c.kind)) + kCr
                          + kCr + storePath(c.named),
                      QStringLiteral("File Missing Error"));
    }
}

TEST_F(CubeSelection, StoreCubeChoiceIsCopiedWithTheLocalProvider)
{
    writeStoreSales();
    chooseStoreCube(QStringLiteral("Sales"));
    ASSERT_TRUE(wizard.CheckValidFileSelected());
    EXPECT_EQ(wizard.cubeSourceKind, 1);
    EXPECT_EQ(wizard.sourceCube, QStringLiteral("Sales"));
    EXPECT_EQ(wizard.sourceProvider, QStringLiteral("MSOLAP.2"));
    EXPECT_TRUE(wizard.sourceLocation.isEmpty());
    EXPECT_TRUE(wizard.sourceCatalog.isEmpty());
    EXPECT_TRUE(wizard.cubeFilePath.isEmpty());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CubeSelection, MissingFileIsRefusedWithItsPathBeforeItsExtensionIsLookedAt)
{
    const QString path = storePath(QStringLiteral("Gone.txt"));
    chooseCubeFile(path);
    expectRefusal(QStringLiteral("The cub file : ") + kCr + kCr + QLatin1Char('\'') + path + QLatin1Char('\'') + kCr
                      + kCr + QStringLiteral("does not exist"),
                  QStringLiteral("File required"));
}

TEST_F(CubeSelection, CubeFilesAreRecognisedByTheirExtensionInAnyCase)
{
    struct Case {
        const char* path;
        bool accepted;
    };
    const Case cases[] = {{"Sales.cub", true}, {"Sales.CUB", true}, {"a.Cub", true},
                          {".cub", false},     {"Sales.txt", false}, {"Salescub", false}};
    QDir::setCurrent(QString::fromStdString(store.path().string()));  // short relative paths
    for (const Case& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        writeSmallCube(storePath(path).toStdString());
        chooseCubeFile(path);
        messages.clear();
        EXPECT_EQ(wizard.CheckValidFileSelected(), c.accepted) << c.path;
        if (c.accepted) {
            EXPECT_TRUE(messages.shown().empty()) << c.path;
            EXPECT_EQ(wizard.cubeFilePath, path);
        } else {
            EXPECT_EQ(messages.single().text, QStringLiteral("Please select a 'cub' file")) << c.path;
            EXPECT_EQ(messages.single().title, QStringLiteral("File required"));
        }
    }
}

TEST_F(CubeSelection, ServerIsAskedForBeforeTheCube)
{
    chooseServerCube(QString(), QString(), QString());
    expectRefusal(QStringLiteral("You are not connected to any server"), QStringLiteral("Server Error"));
}

TEST_F(CubeSelection, ServerWithoutACubeSaysNoCubeHasBeenSelected)
{
    chooseServerCube(QStringLiteral("olap.example"), QStringLiteral("Sales Catalog"), QString());
    expectRefusal(QStringLiteral("No cube has been selected"), QStringLiteral("Server Error"));
}

TEST_F(CubeSelection, ServerChoiceIsCopiedAsTheSelectorHasIt)
{
    chooseServerCube(QStringLiteral("olap.example"), QStringLiteral("Sales Catalog"), QStringLiteral("Sales"));
    ASSERT_TRUE(wizard.CheckValidFileSelected());
    EXPECT_EQ(wizard.cubeSourceKind, 4);
    EXPECT_EQ(wizard.sourceLocation, QStringLiteral("olap.example"));
    EXPECT_EQ(wizard.sourceCatalog, QStringLiteral("Sales Catalog"));
    EXPECT_EQ(wizard.sourceCube, QStringLiteral("Sales"));
    EXPECT_EQ(wizard.sourceProvider, QStringLiteral("MSOLAP.2"));
    EXPECT_TRUE(wizard.cubeFilePath.isEmpty());
}

class CubeFileForConnection : public CubeSelection {};

TEST_F(CubeFileForConnection, StoreCubeConnectsToItsCubeFile)
{
    writeStoreSales();
    chooseStoreCube(QStringLiteral("Sales"));
    ASSERT_TRUE(next());
    EXPECT_EQ(wizard.CheckForCubFile(), storePath(QStringLiteral("Sales.cub")));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(CubeFileForConnection, StoreCubeWhoseCompanionVanishedGivesNoFile)
{
    writeStoreSales();
    chooseStoreCube(QStringLiteral("Sales"));
    ASSERT_TRUE(next());
    QFile::remove(storePath(QStringLiteral("Sales.bwf")));
    EXPECT_TRUE(wizard.CheckForCubFile().isEmpty());
    EXPECT_EQ(messages.single().title, QStringLiteral("File Missing Error"));
}

TEST_F(CubeFileForConnection, LocalCubeFileIsItsOwnConnection)
{
    const QString path = storePath(QStringLiteral("Local.cub"));
    writeSmallCube(path.toStdString());
    chooseCubeFile(path);
    ASSERT_TRUE(next());
    EXPECT_EQ(wizard.CheckForCubFile(), path);
}

TEST_F(CubeFileForConnection, LocalCubeFileDeletedBeforeTheBuildIsReportedWithStop)
{
    const QString path = storePath(QStringLiteral("Local.cub"));
    writeSmallCube(path.toStdString());
    chooseCubeFile(path);
    ASSERT_TRUE(next());
    QFile::remove(path);
    EXPECT_TRUE(wizard.CheckForCubFile().isEmpty());
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.title, QStringLiteral("Invalid row"));
    EXPECT_EQ(shown.icon, MessageIcon::Stop);
    EXPECT_TRUE(shown.text.contains(path));
}

}  // namespace
