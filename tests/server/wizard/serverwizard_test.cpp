// The wizard with a cube on a server, through the host program's window as a
// user drives it: the server page (server typed, provider picked, Connect,
// catalog and cube), the layout, the measures, members expanded on demand,
// Finish. The saved report must equal the one the same walk makes from the
// local cube file the server cube was published from, and the pivot cache
// must name the server. Then a failure a user meets on the cube step, with
// its message, after which the wizard is still usable.
#include "common/wizardtest.h"

#include <gmock/gmock.h>
#include "hostwindow.h"
#include "olap/connection/providerserver.h"
#include "olap/server/serverpublish.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivotcache.h"
#include "sheet/workbook.h"
#include "sheettestsupport.h"
#include "support/clickhouseserver.h"
#include "platform/services/settingsstore.h"
#include "support/requiredprograms.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"
#include "wizard/cube/serverprovider.h"

namespace {

using testsupport::TestServer;

const std::filesystem::path kSamples = PIVOTWIZARD_SAMPLES;
const std::filesystem::path kCubeFile = kSamples / "store" / "NoTime.cub";

class ServerWizard : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_CLICKHOUSE();
        installServerProvider();
        static bool published = false;
        if (!published) {
            olap::server::PublishOptions options;
            options.servers.push_back(olap::server::parseDataSource(TestServer::shared().dataSource()));
            olap::server::publishCubeFile(kCubeFile, options);
            published = true;
        }
    }

    // Opens the window on a new workbook, moves to the cube step.
    NxPivotWizardCtrl* openWizard()
    {
        window = std::make_unique<HostWindow>(QString::fromStdString((kSamples / "store").string()), host);
        window->show();
        window->begin();
        NxPivotWizardCtrl* wizard = window->wizard();
        if (wizard->currentStep() == 0)
            next(wizard);
        return wizard;
    }

    static bool next(NxPivotWizardCtrl* wizard)
    {
        const qint16 before = wizard->currentStep();
        findControl<QPushButton>(wizard, "butCommand", 1)->click();
        return wizard->currentStep() != before;
    }

    static NxCubeSelectorCtrl* selectorOf(NxPivotWizardCtrl* wizard)
    {
        return wizard->findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    }

    // The server page as a user fills it: kind, server, provider, Connect.
    static void connectTo(NxPivotWizardCtrl* wizard, const std::string& server)
    {
        NxCubeSelectorCtrl* selector = selectorOf(wizard);
        selector->setSelectorSourceType(NxCubeSelectorCtrl::ServerCube);
        selector->findChild<QLineEdit*>(QStringLiteral("server"))->setText(QString::fromStdString(server));
        auto* provider = selector->findChild<QComboBox*>(QStringLiteral("provider"));
        provider->setCurrentIndex(provider->findText(QString::fromLatin1(olap::kServerProviderName)));
        selector->findChild<QPushButton*>(QStringLiteral("connect"))->click();
    }

    // From the cube step to Finish: Product on the rows with Beverages
    // expanded to its products, the warehouses of East and West on the
    // columns, Quantity On Hand.
    void designAndFinish(NxPivotWizardCtrl* wizard, const std::filesystem::path& output)
    {
        window->setOutputFile(QString::fromStdString(output.string()));
        ASSERT_TRUE(next(wizard)) << "the cube step";
        const std::array<QStringList, 3> areas{QStringList{}, {QStringLiteral("Product")}, {QStringLiteral("Warehouse")}};
        for (int area = 1; area <= 3; ++area) {
            findControl<QListWidget>(wizard, "lstCubeDetails", area)->clear();
            findControl<QListWidget>(wizard, "lstCubeDetails", area)->addItems(areas[size_t(area - 1)]);
        }
        ASSERT_TRUE(next(wizard)) << "the layout step";
        auto* measures = wizard->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditMembers"));
        uncheckAll(measures);
        check(measures, {"[Measures].[Quantity On Hand]"});
        ASSERT_TRUE(next(wizard)) << "the measures step";
        auto* rows = wizard->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditRows"));
        check(rows, {"[Product].[Food]", "[Product].[Household]", "[Product].[Personal Care]"}, true);
        check(rows, {"[Product].[Beverages].[Chai]", "[Product].[Beverages].[Espresso Roast]"});
        ASSERT_TRUE(next(wizard)) << "the row members step";
        auto* columns = wizard->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditCols"));
        check(columns, {"[Warehouse].[Central]"}, true);
        check(columns, {"[Warehouse].[East].[Newark]", "[Warehouse].[West].[Oakland]"});
        ASSERT_TRUE(next(wizard)) << "the column members step";
        findControl<QPushButton>(wizard, "butCommand", 2)->click();
        ASSERT_TRUE(window->result());
    }

    // User analyst with `password` for `server` in the settings store, where
    // the server page looks for a login.
    static void storeLogin(const std::string& server, const std::string& password)
    {
        platform::SettingsStore store(platform::SettingsStore::defaultFile());
        const std::string key = serverSettingsKey(server);
        store.createKey(platform::RootKey::CurrentUser, key);
        store.setValue(platform::RootKey::CurrentUser, key, "User", platform::Value::fromString("analyst"));
        store.setValue(platform::RootKey::CurrentUser, key, "Password", platform::Value::fromString(password));
    }

    // The worksheet parts of a saved workbook, which hold the report's cells.
    static std::map<std::string, std::string> sheetParts(const std::filesystem::path& file)
    {
        std::map<std::string, std::string> parts;
        for (const auto& [name, entry] : sheettest::readZip(file)) {
            if (name.starts_with("xl/worksheets/") || name == "xl/sharedStrings.xml")
                parts[name] = entry.data;
        }
        return parts;
    }

    TempSettings settings;
    RecordingMessages messages;
    ScratchFolder folder;
    std::shared_ptr<sheet::Application> host = sheet::createApplication();
    std::unique_ptr<HostWindow> window;
};

TEST_F(ServerWizard, AServerCubeReportEqualsTheLocalCubesAndItsCacheNamesTheServer)
{
    const std::string server = TestServer::shared().dataSource();
    // The login of the settings store: used, and found in no part of the saved workbook.
    storeLogin(server, testsupport::kAnalystPassword);
    NxPivotWizardCtrl* wizard = openWizard();
    connectTo(wizard, server);
    NxCubeSelectorCtrl* selector = selectorOf(wizard);
    ASSERT_THAT(selector->serverStatus().toStdString(), testing::HasSubstr("Connected to " + server));
    // The catalog and the cube picked from the lists the server filled.
    for (const char* list : {"catalog", "serverCube"}) {
        auto* combo = selector->findChild<QComboBox*>(QString::fromLatin1(list));
        const int at = combo->findText(QStringLiteral("Inventory"));
        ASSERT_GE(at, 0) << list;
        combo->setCurrentIndex(at);
        emit combo->activated(at);
    }
    designAndFinish(wizard, folder / "server.xlsx");
    const std::string connection = host->ActiveWorkbook()->PivotCaches()->Item(1)->Connection();
    EXPECT_EQ(connection, "OLEDB;Provider=PWCH.1;Location=Inventory;Data Source=" + server
                              + ";Initial Catalog=Inventory;Client Cache Size=25;Auto Synch Period=10000");
    window.reset();

    host = sheet::createApplication();
    wizard = openWizard();
    selectorOf(wizard)->setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    selectorOf(wizard)->setSelectorCubeName(QString::fromStdString(kCubeFile.string()));
    designAndFinish(wizard, folder / "local.xlsx");
    window.reset();
    const auto onServer = sheetParts(folder / "server.xlsx"), onFile = sheetParts(folder / "local.xlsx");
    EXPECT_FALSE(onFile.empty());
    EXPECT_EQ(onServer, onFile);
    for (const auto& [name, entry] : sheettest::readZip(folder / "server.xlsx"))
        EXPECT_THAT(entry.data, testing::Not(testing::HasSubstr(testsupport::kAnalystPassword))) << name;
}

// A failure on the cube step (here a wrong password; which failure, and its
// text, is the session's test) says what happened on the server page at
// Connect and in a message at Next, never showing the password, and the
// wizard stays on the step, usable: put right, Next goes on.
TEST_F(ServerWizard, ACubeStepFailureSaysWhatHappenedAndTheWizardGoesOnWhenPutRight)
{
    const std::string server = TestServer::shared().dataSource();
    const std::string says = "Server " + server + ": did not accept the user name or password (user \"analyst\")";
    const auto pickInventory = [](NxPivotWizardCtrl* wizard) {
        selectorOf(wizard)->setSelectorCatalog(QStringLiteral("Inventory"));
        selectorOf(wizard)->setSelectorCubeName(QStringLiteral("Inventory"));
    };
    storeLogin(server, "wr0ng-k3y");
    NxPivotWizardCtrl* wizard = openWizard();
    connectTo(wizard, server);
    const std::string status = selectorOf(wizard)->serverStatus().toStdString();
    EXPECT_THAT(status, testing::HasSubstr("Could not connect: " + says));
    pickInventory(wizard);
    EXPECT_FALSE(next(wizard));
    const RecordedMessage shown = messages.single();
    EXPECT_EQ(shown.title, QStringLiteral("Server Error"));
    EXPECT_THAT(shown.text.toStdString(), testing::HasSubstr(says));
    for (const std::string& text : {shown.text.toStdString(), status})
        EXPECT_THAT(text, testing::Not(testing::HasSubstr("wr0ng-k3y")));
    storeLogin(server, testsupport::kAnalystPassword);
    connectTo(wizard, server);
    pickInventory(wizard);
    EXPECT_TRUE(next(wizard)) << "put right, the wizard goes on";
}

}  // namespace
