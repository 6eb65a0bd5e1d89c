// The connection model: providers (servers first, the local cube file last),
// opening failures kept for the next call, and cubes whose positions count
// from 0, whose objects are the same when asked twice and outlive the
// connection.
#include "olap/connection/connectionmodel.h"

#include "olap/cube/cubefile.h"
#include "olaptestsupport.h"

#include <functional>

using namespace olap;
using olaptest::failureOf;

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
    std::string mConnectionName, mProviderName;
    std::filesystem::path mCube;
};

// Registers a provider for one test and removes it afterwards.
class ScopedProvider {
public:
    ScopedProvider(const std::string& name, const std::string& providerName, const std::filesystem::path& cube)
        : mName(name)
    {
        registerProvider(std::make_shared<FakeServerProvider>(name, providerName, cube));
    }
    ~ScopedProvider() { unregisterProvider(mName); }

private:
    std::string mName;
};

class ConnectionTest : public testing::Test {
protected:
    void SetUp() override { olaptest::writeSalesCube(mCubePath); }

    // The wizard's way to a local cube: the last provider's connection name.
    std::shared_ptr<KCube> openLocal()
    {
        const Collection<const Provider> providers = mConnection.providers();
        mConnection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), mCubePath);
        return mConnection.databases().item(0)->cubes().item(0)->definition();
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

    ScratchFolder mFolder;
    std::filesystem::path mCubePath = mFolder / "Sales.cub";
    OlapConnection mConnection;
    std::shared_ptr<KCube> mCube;
};

class ConnectionCubeTest : public ConnectionTest {
protected:
    void SetUp() override
    {
        ConnectionTest::SetUp();
        mCube = openLocal();
    }
};

std::vector<std::string> connectionNames(const Collection<const Provider>& providers)
{
    std::vector<std::string> names;
    for (const std::shared_ptr<const Provider>& provider : providers)
        names.push_back(provider->connectionName());
    return names;
}

}  // namespace

// Servers come first in registration order, so that a search by provider
// name from the first entry finds a server before the local provider.
TEST_F(ConnectionTest, ProvidersAreTheServersInRegistrationOrderThenTheLocalFile)
{
    {
        ScopedProvider first("Server A", "MSOLAP.2", mCubePath);
        ScopedProvider second("Server B", "Fake B", mCubePath);
        const Collection<const Provider> providers = OlapConnection().providers();
        EXPECT_EQ(connectionNames(providers), (std::vector<std::string>{"Server A", "Server B", "Local Cube File"}));
        EXPECT_EQ(providers.item(1)->providerString(), "Fake.Server.1");
        EXPECT_EQ(providers.item(0)->providerName(), "MSOLAP.2");
        EXPECT_EQ(failureOf([&] { providers.item(3); }).number(), platform::err::kSubscript);
        const auto again = std::make_shared<FakeServerProvider>("Server A", "Other", mCubePath);
        EXPECT_EQ(failureOf([&] { registerProvider(again); }).number(), platform::err::kInvalidCall);
        const auto local = std::make_shared<FakeServerProvider>("Local Cube File", "Other", mCubePath);
        EXPECT_EQ(failureOf([&] { registerProvider(local); }).number(), platform::err::kInvalidCall);
        EXPECT_EQ(failureOf([&] { registerProvider(nullptr); }).number(), platform::err::kObjectNotSet);
    }
    EXPECT_FALSE(unregisterProvider("Server A"));
    EXPECT_FALSE(unregisterProvider("Local Cube File"));
    const Collection<const Provider> providers = mConnection.providers();
    ASSERT_EQ(providers.count(), 1);
    EXPECT_EQ(providers.item(0)->providerName(), "MSOLAP.2");
    EXPECT_EQ(providers.item(0)->providerString(), "MSOLAP.2");
    EXPECT_EQ(providers.item(0)->connectionName(), "Local Cube File");
}

TEST_F(ConnectionTest, ConnectingToAServerWalksItsDatabasesAndCubes)
{
    ScopedProvider server("Server A", "Fake A", mCubePath);
    OlapConnection connection;  // takes the providers registered when it is made
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
    const FakeServerProvider plain("Server B", "Fake", mCubePath);
    EXPECT_EQ(failureOf([&] { plain.openLocalCube(mCubePath); }).number(), platform::err::kNotSupported);
}

TEST_F(ConnectionTest, OpeningALocalCubeGivesOneDatabaseWithItsCubes)
{
    EXPECT_EQ(mConnection.databases().count(), 0);
    openLocal();
    const Collection<KDatabase> databases = mConnection.databases();
    ASSERT_EQ(databases.count(), 1);
    EXPECT_EQ(databases.item(0)->name(), "Sales Catalog");
    const Collection<KCubeEntry> cubes = databases.item(0)->cubes();
    ASSERT_EQ(cubes.count(), 1);
    EXPECT_EQ(cubes.item(0)->name(), "Sales");
    EXPECT_EQ(failureOf([&] { cubes.item(1); }).number(), platform::err::kSubscript);
    OlapConnection connected;
    connected.connect("Local Cube File", mCubePath.string(), "", "");
    EXPECT_EQ(connected.databases().item(0)->cubes().item(0)->name(), "Sales");
}

// An open or connect that fails does not throw; the next call does, and
// lastFailure keeps the failure until an open succeeds.
TEST_F(ConnectionTest, AFailedOpenIsKeptForTheNextCall)
{
    ScopedProvider server("Server A", "Fake A", mCubePath);
    const std::filesystem::path missing = mFolder / "Stock.cub", corrupt = mFolder / "Corrupt.cub";
    olaptest::writeText(corrupt, std::string(8192, 'x'));
    const struct {
        std::function<void(OlapConnection&)> open;
        int number;
        std::string text;
    } cases[] = {
        {[&](OlapConnection& c) { c.openLocalCube("Local Cube File", missing); }, platform::err::kFileNotFound,
         missing.string()},
        {[&](OlapConnection& c) { c.openLocalCube("Local Cube File", corrupt); }, -1, "Corrupt.cub"},
        {[&](OlapConnection& c) { c.openLocalCube("No Such Provider", mCubePath); }, platform::err::kInvalidCall, ""},
        {[&](OlapConnection& c) { c.connect("Server A", "nowhere", "", ""); }, platform::err::kDeviceUnavailable, ""},
        {[&](OlapConnection& c) { c.connect("", "olap.example.org", "", ""); }, platform::err::kInvalidCall, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text + " " + std::to_string(test.number));
        OlapConnection connection;
        EXPECT_NO_THROW(test.open(connection));
        ASSERT_TRUE(connection.lastFailure());
        const platform::Failure failure = failureOf([&] { connection.databases(); });
        if (test.number >= 0) {
            EXPECT_EQ(failure.number(), test.number);
        }
        EXPECT_THAT(failure.description(), olaptest::HasSubstr(test.text));
    }
    mConnection.openLocalCube("Local Cube File", missing);
    EXPECT_EQ(openLocal()->name(), "Sales");
    EXPECT_FALSE(mConnection.lastFailure());
}

TEST_F(ConnectionCubeTest, DimensionsAreTheMeasuresThenTheCubesInOrderCountedFromZero)
{
    const std::shared_ptr<KCubeEntry> entry = mConnection.databases().item(0)->cubes().item(0);
    EXPECT_EQ(entry->definition(), mCube);
    EXPECT_EQ(mCube->cubeEntry(), entry);
    const KDimensions dimensions = mCube->dimensions();
    ASSERT_EQ(dimensions.count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dimensions.item(i)->name(), olaptest::kDimensionsInOrder[i].name);
        EXPECT_EQ(dimensions.item(i)->dimensionType(), olaptest::kDimensionsInOrder[i].type);
        EXPECT_EQ(dimensions.item(i)->fieldName(), "[" + std::string(olaptest::kDimensionsInOrder[i].name) + "]");
    }
    EXPECT_EQ(dimensions.measuresDimension(), dimensions.item(0));
    EXPECT_EQ(failureOf([&] { dimensions.item(5); }).number(), platform::err::kSubscript);
    EXPECT_EQ(failureOf([&] { dimensions.item(-1); }).number(), platform::err::kSubscript);
    const Collection<KMember> measures = level("Measures", 0)->members();
    ASSERT_EQ(measures.count(), 2);
    EXPECT_EQ(measures.item(0)->name(), "[Measures].[Sales Amount]");
    EXPECT_EQ(measures.item(1)->caption(), "Units");
    EXPECT_EQ(level("Measures", 0)->name(), "[Measures].[MeasuresLevel]");
    EXPECT_EQ(mCube->measures()[1].aggregation, Aggregation::Count);
}

TEST_F(ConnectionCubeTest, HierarchiesAndLevelsCountFromZeroAndNameThePivotFields)
{
    const Collection<KHierarchy> hierarchies = dimension("Product")->hierarchies();
    ASSERT_EQ(hierarchies.count(), 2);
    EXPECT_EQ(hierarchies.item(1)->name(), "Brand");
    EXPECT_EQ(hierarchies.item(1)->levels().item(0)->name().rfind("[Product.Brand].", 0), 0u);
    const Collection<KLevel> levels = dimension("Time")->hierarchies().item(0)->levels();
    ASSERT_EQ(levels.count(), 3);
    const char* names[] = {"[Time].[(All)]", "[Time].[Year]", "[Time].[Quarter]"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(levels.item(i)->name(), names[i]);
        EXPECT_EQ(levels.item(i)->index(), i);
    }
    EXPECT_EQ(levels.item(2)->hierarchy(), dimension("Time")->hierarchies().item(0));
    EXPECT_EQ(failureOf([&] { levels.item(3); }).number(), platform::err::kSubscript);
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

TEST_F(ConnectionCubeTest, AWidgetCanWalkMembersLevelByLevelAndChildByChild)
{
    const std::shared_ptr<KMember> q2 = level("Time", 2)->members().item(1);
    EXPECT_EQ(q2->levelDepth(), 2);
    EXPECT_EQ(q2->uniqueName(), "[Time].[All Time].&[1997].[Q2]");
    EXPECT_EQ(q2->name(), q2->uniqueName());
    EXPECT_EQ(q2->caption(), "Quarter 2");
    EXPECT_EQ(q2->parent()->caption(), "1997");
    EXPECT_EQ(q2->parent()->parent()->levelDepth(), 0);
    EXPECT_EQ(q2->parent()->parent()->parent(), nullptr);
    EXPECT_EQ(q2->level(), level("Time", 2));
    EXPECT_EQ(q2->dimension(), dimension("Time"));
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

TEST_F(ConnectionCubeTest, TheCubeOutlivesItsConnectionAndHeldMembersOutliveTheCube)
{
    const std::shared_ptr<KMember> oslo = level("Region", 1)->members().item(1);
    mConnection = OlapConnection();
    EXPECT_EQ(mCube->name(), "Sales");
    EXPECT_EQ(mCube->dimensions().count(), 5);
    mCube.reset();
    EXPECT_EQ(oslo->uniqueName(), "[Region].[Everywhere].[Oslo]");
    EXPECT_EQ(oslo->parent()->caption(), "Everywhere");
    EXPECT_EQ(oslo->dimension()->name(), "Region");
}
