// The connection model: providers (servers first, the local cube file last),
// opening failures kept for the next call, and cubes whose positions count
// from 0, whose objects are the same when asked twice and outlive the
// connection.
#include "olap/connection/connectionmodel.h"

#include "olaptestsupport.h"

#include <functional>

using namespace olap;
using olaptest::failureOf;

namespace {

// A server provider with its own names and no server behind it (the real
// one is walked against a real server in tests/server).
class FakeServerProvider : public Provider {
public:
    FakeServerProvider(std::string connectionName, std::string providerName)
        : mConnectionName(std::move(connectionName)), mProviderName(std::move(providerName))
    {
    }
    std::string connectionName() const override { return mConnectionName; }
    std::string providerString() const override { return "Fake.Server.1"; }
    std::string providerName() const override { return mProviderName; }

    Catalogs connect(const std::string& dataSource, const std::string&, const std::string&) const override
    {
        throw platform::Failure(platform::err::kDeviceUnavailable, "no server " + dataSource, "olap");
    }

private:
    std::string mConnectionName, mProviderName;
};

// Registers a provider for one test and removes it afterwards.
class ScopedProvider {
public:
    ScopedProvider(const std::string& name, const std::string& providerName) : mName(name)
    {
        registerProvider(std::make_shared<FakeServerProvider>(name, providerName));
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

// What the connection model names its own way, for olaptest::outline.
struct ConnectionOutline {
    using MemberPointer = std::shared_ptr<KMember>;
    static Collection<KHierarchy> hierarchies(const KDimension& dimension) { return dimension.hierarchies(); }
    static std::shared_ptr<KLevel> firstLevel(const KHierarchy& hierarchy) { return hierarchy.levels().item(0); }
    static int depth(const KLevel& level) { return level.index(); }
    static Collection<KMember> members(const KLevel& level) { return level.members(); }
};

}  // namespace

// Servers come first in registration order, so that a search by provider
// name from the first entry finds a server before the local provider.
TEST_F(ConnectionTest, ProvidersAreTheServersInRegistrationOrderThenTheLocalFile)
{
    {
        ScopedProvider first("Server A", "MSOLAP.2");
        ScopedProvider second("Server B", "Fake B");
        const Collection<const Provider> providers = OlapConnection().providers();
        ASSERT_EQ(providers.count(), 3);
        EXPECT_EQ(providers.item(0)->connectionName(), "Server A");
        EXPECT_EQ(providers.item(1)->connectionName(), "Server B");
        EXPECT_EQ(providers.item(2)->connectionName(), "Local Cube File");
        EXPECT_EQ(failureOf([&] { providers.item(3); }).number(), platform::err::kSubscript);
        const auto again = std::make_shared<FakeServerProvider>("Server A", "Other");
        EXPECT_EQ(failureOf([&] { registerProvider(again); }).number(), platform::err::kInvalidCall);
        const auto local = std::make_shared<FakeServerProvider>("Local Cube File", "Other");
        EXPECT_EQ(failureOf([&] { registerProvider(local); }).number(), platform::err::kInvalidCall);
        EXPECT_EQ(failureOf([&] { registerProvider(nullptr); }).number(), platform::err::kObjectNotSet);
    }
    EXPECT_FALSE(unregisterProvider("Server A"));
    EXPECT_FALSE(unregisterProvider("Local Cube File"));
    const Collection<const Provider> providers = mConnection.providers();
    ASSERT_EQ(providers.count(), 1);
    EXPECT_EQ(providers.item(0)->providerString(), "MSOLAP.2");
}

// An open or connect that fails does not throw; the next call does, and
// lastFailure keeps the failure until an open succeeds.
TEST_F(ConnectionTest, AFailedOpenIsKeptForTheNextCall)
{
    ScopedProvider server("Server A", "Fake A");
    const std::filesystem::path missing = mFolder / "Stock.cub", corrupt = mFolder / "Corrupt.cub";
    writeText(corrupt, std::string(8192, 'x'));
    const struct { std::function<void(OlapConnection&)> open; int number; std::string text; } cases[] = {
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

// A local cube file is one database holding its cubes.
TEST_F(ConnectionCubeTest, DimensionsAreTheMeasuresThenTheCubesInOrderCountedFromZero)
{
    ASSERT_EQ(mConnection.databases().count(), 1);
    EXPECT_EQ(mConnection.databases().item(0)->name(), "Sales Catalog");
    const Collection<KCubeEntry> cubes = mConnection.databases().item(0)->cubes();
    ASSERT_EQ(cubes.count(), 1);
    const std::shared_ptr<KCubeEntry> entry = cubes.item(0);
    EXPECT_EQ(entry->name(), "Sales");
    EXPECT_EQ(entry->definition(), mCube);
    EXPECT_EQ(mCube->cubeEntry(), entry);
    EXPECT_EQ(olaptest::outline<ConnectionOutline>(mCube->dimensions()), olaptest::kSalesOutline);
    const KDimensions dimensions = mCube->dimensions();
    EXPECT_EQ(dimensions.measuresDimension(), dimensions.item(0));
    const std::shared_ptr<KLevel> years = level("Time", 1);
    const std::function<void()> calls[] = {
        [&] { dimensions.item(5); }, [&] { dimension("Time")->hierarchies().item(0)->levels().item(3); },
        [&] { years->members().item(0)->children().item(2); }, [&] { cubes.item(1); },
    };
    for (size_t i = 0; i < std::size(calls); ++i)
        EXPECT_EQ(failureOf(calls[i]).number(), platform::err::kSubscript) << "call " << i;
}

// Levels and measures carry the names of the pivot fields they become;
// members are named by their unique names.
TEST_F(ConnectionCubeTest, LevelsMeasuresAndMembersAreNamedAsPivotFields)
{
    const Collection<KLevel> levels = dimension("Time")->hierarchies().item(0)->levels();
    EXPECT_EQ(levels.item(0)->name(), "[Time].[(All)]");
    EXPECT_EQ(levels.item(2)->name(), "[Time].[Quarter]");
    EXPECT_EQ(dimension("Product")->hierarchies().item(1)->levels().item(0)->name().rfind("[Product.Brand].", 0), 0u);
    EXPECT_EQ(level("Measures", 0)->name(), "[Measures].[MeasuresLevel]");
    EXPECT_EQ(level("Measures", 0)->members().item(0)->name(), "[Measures].[Sales Amount]");
    const std::shared_ptr<KMember> q2 = level("Time", 2)->members().item(1);
    EXPECT_EQ(q2->uniqueName(), "[Time].[All Time].&[1997].[Q2]");
    EXPECT_EQ(q2->name(), q2->uniqueName());
    EXPECT_EQ(q2->parent()->parent()->levelDepth(), 0);
    EXPECT_EQ(level("Time", 1)->members().item(1)->children().item(0)->uniqueName(), "[Time].[All Time].&[1998].[Q1]");
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
