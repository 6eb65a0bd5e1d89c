#include "widgets/nxcubeselectorctrl.h"

#include "olap/cube/cubebuilder.h"
#include "olap/connection/providerregistry.h"
#include "platform/core/failure.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include "smallcube.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {


// A server provider that offers one catalog "Server Catalog" with the cubes
// "Budget" and "Forecast" on any server but "down".
class TestServerProvider : public olap::Provider {
public:
    std::string connectionName() const override { return "Test Server Connection"; }
    std::string providerString() const override { return "TESTSERVER.1"; }
    std::string providerName() const override { return "Test Server"; }
    olap::Catalogs connect(const std::string& dataSource, const std::string&, const std::string&) const override
    {
        if (dataSource == "down")
            throw platform::Failure(platform::err::kDeviceUnavailable, "The server down does not answer", "test");
        olap::CatalogInfo catalog;
        catalog.name = "Server Catalog";
        catalog.cubes.resize(2);
        catalog.cubes[0].name = "Budget";
        catalog.cubes[1].name = "Forecast";
        return {std::make_shared<const olap::CatalogInfo>(catalog)};
    }
};

class CubeSelector : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mFolder.isValid()); }

    QString file(const QString& name) const { return mFolder.filePath(name); }
    void touch(const QString& name) const
    {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    }
    QString appPath() const { return file(QStringLiteral("pivotwizard")); }

    template <class T>
    T* child(const char* name) const
    {
        T* widget = selector.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QStringList listedStoreCubes() const
    {
        QStringList names;
        const QListWidget* list = child<QListWidget>("storeCubeList");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    QTemporaryDir mFolder;
    NxCubeSelectorCtrl selector;
};

TEST_F(CubeSelector, ListsTheStoreCubesThatHaveTheirCompanionBesideThem)
{
    for (const char* name : {"Sales.cub", "Sales.bwf", "Alone.cub", "Orphan.bwf", "Upper.CUB", "Upper.bwf",
                             "Budget.cub", "Budget.bwf"})
        touch(QString::fromLatin1(name));

    selector.setSelectorAppPath(appPath());

    EXPECT_EQ(listedStoreCubes(), QStringList({QStringLiteral("Budget"), QStringLiteral("Sales")}));
}

TEST_F(CubeSelector, TheAppPathReadsBackAsWritten)
{
    QSignalSpy changed(&selector, &NxCubeSelectorCtrl::selectorAppPathChanged);

    selector.setSelectorAppPath(appPath());

    EXPECT_EQ(selector.selectorAppPath(), appPath());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), appPath());
}

TEST_F(CubeSelector, ChoosingAStoreCubeMakesItsNameTheCubeName)
{
    touch(QStringLiteral("Sales.cub"));
    touch(QStringLiteral("Sales.bwf"));
    selector.setSelectorAppPath(appPath());
    QSignalSpy changed(&selector, &NxCubeSelectorCtrl::selectionChanged);

    child<QListWidget>("storeCubeList")->setCurrentRow(0);

    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Sales"));
    EXPECT_GE(changed.count(), 1);
}

TEST_F(CubeSelector, AStoreCubeNameThatIsNotListedLeavesNoCubeChosen)
{
    touch(QStringLiteral("Sales.cub"));
    touch(QStringLiteral("Sales.bwf"));
    selector.setSelectorAppPath(appPath());
    selector.setSelectorCubeName(QStringLiteral("Sales"));

    selector.setSelectorCubeName(QStringLiteral("Budget"));

    EXPECT_TRUE(selector.selectorCubeName().isEmpty());
}

TEST_F(CubeSelector, AStoreCubeAddedAfterListingIsFoundByName)
{
    selector.setSelectorAppPath(appPath());
    touch(QStringLiteral("Late.cub"));
    touch(QStringLiteral("Late.bwf"));

    selector.setSelectorCubeName(QStringLiteral("Late"));

    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Late"));
}

TEST_F(CubeSelector, ALocalCubeFilesNameIsItsPath)
{
    selector.setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);

    child<QLineEdit>("cubeFile")->setText(file(QStringLiteral("Sales.cub")));

    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::LocalCubeFile);
    EXPECT_EQ(selector.selectorCubeName(), file(QStringLiteral("Sales.cub")));
}

TEST_F(CubeSelector, EachKindKeepsItsValuesWhileAnotherIsShown)
{
    selector.setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    selector.setSelectorCubeName(QStringLiteral("/data/Sales.cub"));
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    selector.setSelectorCubeName(QStringLiteral("Budget"));

    selector.setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);

    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("/data/Sales.cub"));
}

TEST_F(CubeSelector, TheProvidersListEndsWithTheLocalFileProvider)
{
    const auto* providers = child<QComboBox>("provider");

    ASSERT_GE(providers->count(), 1);
    EXPECT_EQ(providers->itemText(providers->count() - 1), QStringLiteral("MSOLAP.2"));
}

TEST_F(CubeSelector, ConnectingListsTheServersCatalogsAndTheirCubes)
{
    olap::registerProvider(std::make_shared<TestServerProvider>());
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    selector.setSelectorProvider(QStringLiteral("Test Server"));
    selector.setSelectorServer(QStringLiteral("olap.example"));

    child<QPushButton>("connect")->click();
    olap::unregisterProvider("Test Server Connection");

    EXPECT_EQ(selector.selectorProvider(), QStringLiteral("Test Server"));
    EXPECT_EQ(selector.selectorServer(), QStringLiteral("olap.example"));
    EXPECT_EQ(selector.selectorCatalog(), QStringLiteral("Server Catalog"));
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Budget"));
    EXPECT_EQ(child<QComboBox>("serverCube")->count(), 2);
}

TEST_F(CubeSelector, ConnectingThroughTheLocalProviderOpensACubeFileAsAServer)
{
    writeSmallCube(file(QStringLiteral("Sales.cub")).toStdString());
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    selector.setSelectorProvider(QStringLiteral("MSOLAP.2"));
    selector.setSelectorServer(file(QStringLiteral("Sales.cub")));

    ASSERT_TRUE(selector.connectToServer());

    EXPECT_EQ(selector.selectorCatalog(), QStringLiteral("Sales Catalog"));
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Sales"));
}

TEST_F(CubeSelector, AFailedConnectionSaysWhyAndListsNothing)
{
    olap::registerProvider(std::make_shared<TestServerProvider>());
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    selector.setSelectorProvider(QStringLiteral("Test Server"));
    selector.setSelectorServer(QStringLiteral("down"));

    const bool connected = selector.connectToServer();
    olap::unregisterProvider("Test Server Connection");

    EXPECT_FALSE(connected);
    EXPECT_TRUE(selector.serverStatus().contains(QStringLiteral("does not answer"))) << selector.serverStatus().toStdString();
    EXPECT_EQ(child<QComboBox>("catalog")->count(), 0);
    EXPECT_TRUE(selector.selectorCatalog().isEmpty());
}

TEST_F(CubeSelector, CatalogAndCubeMayBeTypedWithoutConnecting)
{
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);

    selector.setSelectorCatalog(QStringLiteral("Finance"));
    selector.setSelectorCubeName(QStringLiteral("Budget"));

    EXPECT_EQ(selector.selectorCatalog(), QStringLiteral("Finance"));
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Budget"));
}

TEST_F(CubeSelector, OptionFalseOffersOnlyTheStoreAndTrueOffersEveryKind)
{
    selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
    const auto* kinds = qobject_cast<QStandardItemModel*>(child<QComboBox>("sourceKind")->model());
    ASSERT_NE(kinds, nullptr);

    selector.selectorOption(false);

    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
    EXPECT_TRUE(kinds->item(0)->isEnabled());
    EXPECT_FALSE(kinds->item(1)->isEnabled());
    EXPECT_FALSE(kinds->item(2)->isEnabled());

    selector.selectorOption(true);

    EXPECT_TRUE(kinds->item(1)->isEnabled() && kinds->item(2)->isEnabled());
}

TEST_F(CubeSelector, AnUnknownSourceKindIsRefused)
{
    EXPECT_THROW(selector.setSelectorSourceType(3), platform::Failure);
    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
}

}  // namespace
