#include "olap/connection/connectionmodel.h"

#include "olap/cube/cubefile.h"
#include "platform/core/failure.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

using namespace olap;

namespace {

// A server provider as a later one will plug in: its own names, catalogs
// from elsewhere. Here two catalogs copied from the test cube file.
class FakeServerProvider : public Provider {
public:
    FakeServerProvider(std::string connectionName, std::string providerName, std::filesystem::path cube)
        : mConnectionName(std::move(connectionName)), mProviderName(std::move(providerName)), mCube(std::move(cube))
    {
    }
    std::string connectionName() const override { return mConnectionName; }
    std::string providerString() const override { return "Fake.Server.1"; }
    std::string providerName() const override { return mProviderName; }

    Catalogs connect(const std::string& dataSource, const std::string&, const std::string&) const override
    {
        if (dataSource != "olap.example.org")
            throw platform::Failure(platform::err::kDeviceUnavailable, "no server " + dataSource, "olap");
        CatalogInfo first = CubeFile::open(mCube)->catalog();
        first.name = "Finance";
        CatalogInfo second = first;
        second.name = "Retail";
        second.cubes[0].name = "Shops";
        return {std::make_shared<const CatalogInfo>(first), std::make_shared<const CatalogInfo>(second)};
    }

private:
    std::string mConnectionName;
    std::string mProviderName;
    std::filesystem::path mCube;
};

// Registers a provider for one test and removes it afterwards.
class ScopedProvider {
public:
    explicit ScopedProvider(std::shared_ptr<const Provider> provider) : mName(provider->connectionName())
    {
        registerProvider(std::move(provider));
    }
    ~ScopedProvider() { unregisterProvider(mName); }

private:
    std::string mName;
};

class ConnectionTest : public testing::Test {
protected:
    void SetUp() override { storetest::writeSalesCube(mCubePath); }

    // The wizard's way to a local cube: the last provider's connection name.
    std::shared_ptr<KCube> openLocal(OlapConnection& connection, const std::filesystem::path& file)
    {
        const Collection<const Provider> providers = connection.providers();
        connection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), file);
        return connection.databases().item(0)->cubes().item(0)->definition();
    }

    std::shared_ptr<KDimension> dimension(const std::string& name)
    {
        for (const std::shared_ptr<KDimension>& dimension : mCube->dimensions()) {
            if (dimension->name() == name)
                return dimension;
        }
        ADD_FAILURE() << "no dimension " << name;
        return nullptr;
    }

    std::shared_ptr<KLevel> level(const std::string& name, int index)
    {
        return dimension(name)->hierarchies().item(0)->levels().item(index);
    }

    storetest::ScratchFolder mFolder;
    std::filesystem::path mCubePath = mFolder / "Sales.cub";
    OlapConnection mConnection;
    std::shared_ptr<KCube> mCube;
};

class ConnectionCubeTest : public ConnectionTest {
protected:
    void SetUp() override
    {
        ConnectionTest::SetUp();
        mCube = openLocal(mConnection, mCubePath);
    }
};

template <class F>
platform::Failure failureOf(F&& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "no failure";
    return platform::Failure(0, "");
}

}  // namespace

TEST_F(ConnectionTest, TheLocalFileProviderIsTheLastProvider)
{
    const Collection<const Provider> providers = mConnection.providers();
    ASSERT_GE(providers.count(), 1);
    const std::shared_ptr<const Provider> last = providers.item(providers.count() - 1);
    EXPECT_EQ(last->providerName(), "MSOLAP.2");
    EXPECT_EQ(last->providerString(), "MSOLAP.2");
    EXPECT_EQ(last->connectionName(), "Local Cube File");
    EXPECT_EQ(failureOf([&] { providers.item(providers.count()); }).number(), platform::err::kSubscript);
}

TEST_F(ConnectionTest, ServerProvidersAreListedBeforeTheLocalOneInRegistrationOrder)
{
    ScopedProvider first(std::make_shared<FakeServerProvider>("Server A", "Fake A", mCubePath));
    ScopedProvider second(std::make_shared<FakeServerProvider>("Server B", "Fake B", mCubePath));
    const Collection<const Provider> providers = OlapConnection().providers();
    ASSERT_EQ(providers.count(), 3);
    EXPECT_EQ(providers.item(0)->connectionName(), "Server A");
    EXPECT_EQ(providers.item(1)->connectionName(), "Server B");
    EXPECT_EQ(providers.item(2)->connectionName(), "Local Cube File");
    EXPECT_EQ(providers.item(1)->providerString(), "Fake.Server.1");
}

TEST_F(ConnectionTest, UnregisteringLeavesTheLocalFileProvider)
{
    {
        ScopedProvider server(std::make_shared<FakeServerProvider>("Server A", "Fake A", mCubePath));
    }
    EXPECT_FALSE(unregisterProvider("Server A"));
    EXPECT_FALSE(unregisterProvider("Local Cube File"));
    const Collection<const Provider> providers = OlapConnection().providers();
    ASSERT_EQ(providers.count(), 1);
    EXPECT_EQ(providers.item(0)->providerName(), "MSOLAP.2");
}

TEST_F(ConnectionTest, ConnectionNamesAreUnique)
{
    ScopedProvider server(std::make_shared<FakeServerProvider>("Server A", "Fake A", mCubePath));
    const auto again = std::make_shared<FakeServerProvider>("Server A", "Other", mCubePath);
    EXPECT_EQ(failureOf([&] { registerProvider(again); }).number(), platform::err::kInvalidCall);
    const auto local = std::make_shared<FakeServerProvider>("Local Cube File", "Other", mCubePath);
    EXPECT_EQ(failureOf([&] { registerProvider(local); }).number(), platform::err::kInvalidCall);
    EXPECT_EQ(failureOf([&] { registerProvider(nullptr); }).number(), platform::err::kObjectNotSet);
}

// Searching by provider name from the first entry finds a server provider
// before the local one even when both carry the same name.
TEST_F(ConnectionTest, AServerProviderOfTheSameNameIsFoundFirst)
{
    ScopedProvider server(std::make_shared<FakeServerProvider>("Server A", "MSOLAP.2", mCubePath));
    const Collection<const Provider> providers = OlapConnection().providers();
    std::shared_ptr<const Provider> found;
    for (const std::shared_ptr<const Provider>& provider : providers) {
        if (provider->providerName() == "MSOLAP.2") {
            found = provider;
            break;
        }
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->connectionName(), "Server A");
}

TEST_F(ConnectionTest, ConnectingToAServerWalksItsDatabasesAndCubes)
{
    ScopedProvider server(std::make_shared<FakeServerProvider>("Server A", "Fake A", mCubePath));
    OlapConnection connection;
    connection.connect("Server A", "olap.example.org", "", "");
    const Collection<KDatabase> databases = connection.databases();
    ASSERT_EQ(databases.count(), 2);
    EXPECT_EQ(databases.item(0)->name(), "Finance");
    EXPECT_EQ(databases.item(1)->name(), "Retail");
    const std::shared_ptr<KCubeEntry> entry = databases.item(1)->cubes().item(0);
    EXPECT_EQ(entry->name(), "Shops");
    EXPECT_EQ(entry->definition()->cubeEntry(), entry);
    EXPECT_EQ(entry->definition()->dimensions().count(), 5);
    EXPECT_FALSE(connection.lastFailure());
}

TEST_F(ConnectionTest, AFailedConnectIsIgnoredAndTheNextCallFails)
{
    ScopedProvider server(std::make_shared<FakeServerProvider>("Server A", "Fake A", mCubePath));
    OlapConnection connection;
    EXPECT_NO_THROW(connection.connect("Server A", "nowhere", "", ""));
    EXPECT_EQ(failureOf([&] { connection.databases(); }).number(), platform::err::kDeviceUnavailable);
    EXPECT_NO_THROW(connection.connect("", "olap.example.org", "", ""));
    EXPECT_EQ(failureOf([&] { connection.databases(); }).number(), platform::err::kInvalidCall);
}

TEST_F(ConnectionTest, TheLocalProviderDoesNotConnectToOtherProvidersServers)
{
    const std::shared_ptr<const Provider> plain = std::make_shared<FakeServerProvider>("Server A", "Fake", mCubePath);
    EXPECT_EQ(failureOf([&] { plain->openLocalCube(mCubePath); }).number(), platform::err::kNotSupported);
}

TEST_F(ConnectionTest, BeforeOpeningThereAreNoDatabases)
{
    EXPECT_EQ(mConnection.databases().count(), 0);
}

TEST_F(ConnectionTest, OpeningALocalCubeGivesOneDatabaseWithItsCubes)
{
    const Collection<const Provider> providers = mConnection.providers();
    mConnection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), mCubePath);
    const Collection<KDatabase> databases = mConnection.databases();
    ASSERT_EQ(databases.count(), 1);
    EXPECT_EQ(databases.item(0)->name(), "Sales Catalog");
    const Collection<KCubeEntry> cubes = databases.item(0)->cubes();
    ASSERT_EQ(cubes.count(), 1);
    EXPECT_EQ(cubes.item(0)->name(), "Sales");
    EXPECT_EQ(failureOf([&] { cubes.item(1); }).number(), platform::err::kSubscript);
}

TEST_F(ConnectionTest, ConnectingTheLocalProviderToAFileOpensIt)
{
    mConnection.connect("Local Cube File", mCubePath.string(), "", "");
    EXPECT_EQ(mConnection.databases().item(0)->cubes().item(0)->name(), "Sales");
}

TEST_F(ConnectionTest, AMissingFileIsIgnoredAndTheNextCallFailsNamingIt)
{
    const std::filesystem::path missing = mFolder / "Stock.cub";
    EXPECT_NO_THROW(mConnection.openLocalCube("Local Cube File", missing));
    const platform::Failure failure = failureOf([&] { mConnection.databases(); });
    EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
    EXPECT_NE(failure.description().find(missing.string()), std::string::npos) << failure.description();
    ASSERT_TRUE(mConnection.lastFailure());
}

TEST_F(ConnectionTest, ACorruptOrNewerFileIsIgnoredAndTheNextCallFails)
{
    const std::filesystem::path corrupt = mFolder / "Corrupt.cub";
    storetest::writeText(corrupt, std::string(8192, 'x'));
    EXPECT_NO_THROW(mConnection.openLocalCube("Local Cube File", corrupt));
    EXPECT_THROW(mConnection.databases(), platform::Failure);
}

TEST_F(ConnectionTest, ACubeFileOfANewerVersionIsIgnoredAndTheNextCallFails)
{
    storetest::makeNewerCubeFile(mCubePath);
    EXPECT_NO_THROW(mConnection.openLocalCube("Local Cube File", mCubePath));
    const platform::Failure failure = failureOf([&] { mConnection.databases(); });
    EXPECT_NE(failure.description().find("newer version"), std::string::npos) << failure.description();
}

TEST_F(ConnectionTest, AnUnknownConnectionNameIsIgnoredAndTheNextCallFails)
{
    EXPECT_NO_THROW(mConnection.openLocalCube("No Such Provider", mCubePath));
    EXPECT_EQ(failureOf([&] { mConnection.databases(); }).number(), platform::err::kInvalidCall);
}

TEST_F(ConnectionTest, ASuccessfulOpenClearsAnEarlierFailure)
{
    mConnection.openLocalCube("Local Cube File", mFolder / "Stock.cub");
    mCube = openLocal(mConnection, mCubePath);
    EXPECT_FALSE(mConnection.lastFailure());
    EXPECT_EQ(mCube->name(), "Sales");
}

TEST_F(ConnectionCubeTest, TheDefinitionIsTheSameObjectAndKnowsItsEntry)
{
    const std::shared_ptr<KCubeEntry> entry = mConnection.databases().item(0)->cubes().item(0);
    EXPECT_EQ(entry->definition(), mCube);
    EXPECT_EQ(mCube->cubeEntry(), entry);
    EXPECT_EQ(mCube->cubeEntry()->name(), "Sales");
}

TEST_F(ConnectionCubeTest, DimensionsAreTheMeasuresThenTheCubesInOrderCountedFromZero)
{
    const KDimensions dimensions = mCube->dimensions();
    const auto& expected = storetest::kDimensionsInOrder;
    ASSERT_EQ(dimensions.count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dimensions.item(i)->name(), expected[i].name);
        EXPECT_EQ(dimensions.item(i)->dimensionType(), expected[i].type);
        EXPECT_EQ(dimensions.item(i)->fieldName(), "[" + std::string(expected[i].name) + "]");
    }
    EXPECT_EQ(dimensions.measuresDimension(), dimensions.item(0));
    EXPECT_EQ(failureOf([&] { dimensions.item(5); }).number(), platform::err::kSubscript);
    EXPECT_EQ(failureOf([&] { dimensions.item(-1); }).number(), platform::err::kSubscript);
}

TEST_F(ConnectionCubeTest, MeasureMembersAreNamedAsDataFields)
{
    const Collection<KMember> measures = level("Measures", 0)->members();
    ASSERT_EQ(measures.count(), 2);
    EXPECT_EQ(measures.item(0)->name(), "[Measures].[Sales Amount]");
    EXPECT_EQ(measures.item(1)->caption(), "Units");
    EXPECT_EQ(level("Measures", 0)->name(), "[Measures].[MeasuresLevel]");
    EXPECT_EQ(mCube->measures()[1].aggregation, Aggregation::Count);
}

TEST_F(ConnectionCubeTest, HierarchiesAndLevelsCountFromZero)
{
    const Collection<KHierarchy> hierarchies = dimension("Product")->hierarchies();
    ASSERT_EQ(hierarchies.count(), 2);
    EXPECT_EQ(hierarchies.item(1)->name(), "Brand");
    const Collection<KLevel> levels = dimension("Time")->hierarchies().item(0)->levels();
    ASSERT_EQ(levels.count(), 3);
    EXPECT_EQ(levels.item(0)->name(), "[Time].[(All)]");  // the pivot field name
    EXPECT_EQ(levels.item(1)->name(), "[Time].[Year]");
    EXPECT_EQ(levels.item(2)->name(), "[Time].[Quarter]");
    EXPECT_EQ(hierarchies.item(1)->levels().item(0)->name().rfind("[Product.Brand].", 0), 0u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(levels.item(i)->index(), i);
    EXPECT_EQ(levels.item(2)->hierarchy(), dimension("Time")->hierarchies().item(0));
    EXPECT_EQ(failureOf([&] { levels.item(3); }).number(), platform::err::kSubscript);
}

TEST_F(ConnectionCubeTest, TheFirstLevelsTypeMarksAnAllLevel)
{
    EXPECT_EQ(level("Time", 0)->LevelType(), LevelType::All);
    EXPECT_EQ(level("Time", 1)->LevelType(), LevelType::Regular);
    EXPECT_EQ(level("Product", 0)->LevelType(), LevelType::Regular);
    EXPECT_EQ(level("Region", 0)->LevelType(), LevelType::All);
}

TEST_F(ConnectionCubeTest, TopLevelCountsSayWhatTheMemberChecksNeed)
{
    const struct {
        const char* dimension;
        int memberCount;
        int levelMemberTotal;
        bool lastLevel;  // index + 1 equals the hierarchy's level count
    } expected[] = {
        {"Time", 1, 1, false}, {"Product", 2, 2, false}, {"Region", 1, 1, false}, {"Ship Time", 1, 1, true}};
    for (const auto& e : expected) {
        const std::shared_ptr<KLevel> top = level(e.dimension, 0);
        EXPECT_EQ(top->memberCount(), e.memberCount) << e.dimension;
        EXPECT_EQ(top->levelMemberTotal(), e.levelMemberTotal) << e.dimension;
        EXPECT_EQ(top->members().count(), e.levelMemberTotal) << e.dimension;
        EXPECT_EQ(top->index() + 1 == top->hierarchy()->levels().count(), e.lastLevel) << e.dimension;
        EXPECT_EQ(top->childLevel() == nullptr, e.lastLevel) << e.dimension;
    }
}

TEST_F(ConnectionCubeTest, MembersHaveDepthUniqueNameCaptionAndParent)
{
    const std::shared_ptr<KMember> q2 = level("Time", 2)->members().item(1);
    EXPECT_EQ(q2->levelDepth(), 2);
    EXPECT_EQ(q2->uniqueName(), "[Time].[All Time].&[1997].[Q2]");
    EXPECT_EQ(q2->name(), q2->uniqueName());
    EXPECT_EQ(q2->caption(), "Quarter 2");
    ASSERT_TRUE(q2->parent());
    EXPECT_EQ(q2->parent()->caption(), "1997");
    EXPECT_EQ(q2->parent()->parent()->levelDepth(), 0);
    EXPECT_EQ(q2->parent()->parent()->parent(), nullptr);
    EXPECT_EQ(q2->level(), level("Time", 2));
    EXPECT_EQ(q2->dimension(), dimension("Time"));
}

TEST_F(ConnectionCubeTest, AWidgetCanWalkTheFirstHierarchyLevelByLevelAndChildByChild)
{
    const std::shared_ptr<KMember> all = level("Time", 0)->members().item(0);
    ASSERT_EQ(all->childCount(), 2);
    const Collection<KMember> years = all->children();
    EXPECT_EQ(years.item(0), level("Time", 1)->members().item(0));
    EXPECT_EQ(years.item(1)->children().count(), 1);
    EXPECT_EQ(years.item(1)->children().item(0)->uniqueName(), "[Time].[All Time].&[1998].[Q1]");
    std::vector<std::string> walked;
    for (std::shared_ptr<KLevel> at = level("Product", 0); at; at = at->childLevel()) {
        for (const std::shared_ptr<KMember>& member : at->members())
            walked.push_back(member->caption());
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"Drinks", "Food", "Cola", "Juice", "Bread"}));
}

TEST_F(ConnectionCubeTest, TheCubeOutlivesItsConnection)
{
    const std::shared_ptr<KMember> oslo = level("Region", 1)->members().item(1);
    mConnection = OlapConnection();
    const std::shared_ptr<KCube> cube = std::move(mCube);
    EXPECT_EQ(cube->name(), "Sales");
    EXPECT_EQ(cube->dimensions().count(), 5);
    EXPECT_EQ(oslo->uniqueName(), "[Region].[Everywhere].[Oslo]");
}

TEST_F(ConnectionCubeTest, HeldMembersOutliveTheCube)
{
    const std::shared_ptr<KMember> oslo = level("Region", 1)->members().item(1);
    mCube.reset();
    mConnection = OlapConnection();
    EXPECT_EQ(oslo->parent()->caption(), "Everywhere");
    EXPECT_EQ(oslo->dimension()->name(), "Region");
}
