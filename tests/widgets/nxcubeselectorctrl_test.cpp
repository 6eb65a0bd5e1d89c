// The cube selector: store cubes of the application folder, local cube
// files, and cubes of servers reached through the connection model's providers.
#include "widgets/nxcubeselectorctrl.h"

#include "olap/connection/providerregistry.h"
#include "platform/core/failure.h"
#include "support/controls.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A server provider that offers one catalog "Server Catalog" with the cubes
// "Budget" and "Forecast" on any server but "down"; registered while it lives.
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

    QString file(const char* name) const { return mFolder.filePath(QString::fromLatin1(name)); }
    void touch(std::initializer_list<const char*> names) const
    {
        for (const char* name : names)
            ASSERT_TRUE(QFile(file(name)).open(QIODevice::WriteOnly)) << name;
    }

    template <class T>
    T* child(const char* name) const { return findControl<T>(&selector, name); }

    // Chooses the test server's provider and connects to `server`.
    bool connectTo(const char* server)
    {
        olap::registerProvider(std::make_shared<TestServerProvider>());
        selector.refreshProviders();
        selector.setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
        selector.setSelectorProvider(QStringLiteral("Test Server"));
        selector.setSelectorServer(QString::fromLatin1(server));
        const bool connected = selector.connectToServer();
        olap::unregisterProvider("Test Server Connection");
        return connected;
    }

    QTemporaryDir mFolder;
    NxCubeSelectorCtrl selector;
};

// A store cube is an N.cub with its N.bwf beside it, names compared exactly;
// a name not listed leaves no cube chosen, unless it appeared since.
TEST_F(CubeSelector, ListsAndChoosesTheStoreCubesOfTheApplicationFolder)
{
    touch({"Sales.cub", "Sales.bwf", "Alone.cub", "Orphan.bwf", "Upper.CUB", "Upper.bwf", "Budget.cub", "Budget.bwf"});
    selector.setSelectorAppPath(file("pivotwizard"));
    auto* list = child<QListWidget>("storeCubeList");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Budget"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Sales"));
    QSignalSpy changed(&selector, &NxCubeSelectorCtrl::selectionChanged);
    list->setCurrentRow(1);
    EXPECT_EQ(selector.selectorSourceType(), NxCubeSelectorCtrl::StoreCube);
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Sales"));
    EXPECT_GE(changed.count(), 1);
    selector.setSelectorCubeName(QStringLiteral("Alone"));
    EXPECT_TRUE(selector.selectorCubeName().isEmpty());
    touch({"Late.cub", "Late.bwf"});
    selector.setSelectorCubeName(QStringLiteral("Late"));
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Late"));
}

// A failed connection says why on the page and lists nothing.
TEST_F(CubeSelector, ConnectingListsTheServersCatalogsAndTheirCubes)
{
    const auto* providers = child<QComboBox>("provider");
    ASSERT_GE(providers->count(), 1);
    EXPECT_EQ(providers->itemText(providers->count() - 1), QStringLiteral("MSOLAP.2"));
    EXPECT_FALSE(connectTo("down"));
    EXPECT_TRUE(selector.serverStatus().contains(QStringLiteral("does not answer"))) << selector.serverStatus().toStdString();
    EXPECT_EQ(child<QComboBox>("catalog")->count(), 0);
    EXPECT_TRUE(selector.selectorCatalog().isEmpty());
    ASSERT_TRUE(connectTo("olap.example"));
    EXPECT_EQ(selector.selectorProvider(), QStringLiteral("Test Server"));
    EXPECT_EQ(selector.selectorServer(), QStringLiteral("olap.example"));
    EXPECT_EQ(selector.selectorCatalog(), QStringLiteral("Server Catalog"));
    EXPECT_EQ(selector.selectorCubeName(), QStringLiteral("Budget"));
    EXPECT_EQ(child<QComboBox>("serverCube")->count(), 2);
}

}  // namespace
