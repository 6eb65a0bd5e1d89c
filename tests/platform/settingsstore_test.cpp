#include "platform/services/settingsstore.h"

#include "platform/core/failure.h"
#include "support/children.h"
#include "support/failureof.h"
#include "support/fulldisk.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace platform;
using testsupport::failureOf;

namespace {

constexpr RootKey kUser = RootKey::CurrentUser;

class SettingsStoreTest : public testing::Test {
protected:
    std::filesystem::path file() const { return mFolder / "settings.db"; }
    SettingsStore& store()
    {
        if (!mStore)
            mStore = std::make_unique<SettingsStore>(file());
        return *mStore;
    }
    void reopen() { mStore.reset(); }

    ScratchFolder mFolder;
    std::unique_ptr<SettingsStore> mStore;
};

// Each row runs on a fresh store holding HKCU\A\B with the value Installed, and HKCU\P\C.
TEST_F(SettingsStoreTest, StatusCodes)
{
    using S = SettingsStore;
    std::string name;
    Value value;
    const std::tuple<const char*, std::function<int32_t(S&)>, int32_t> cases[] = {
        {"a root key", [](S& s) { return s.openKey(RootKey::DynData, ""); }, status::kSuccess},
        {"a missing key", [](S& s) { return s.openKey(kUser, "A\\Other"); }, status::kNotFound},
        {"case and separators", [](S& s) { return s.openKey(kUser, "\\a/\\b\\"); }, status::kSuccess},
        {"a created path", [](S& s) { s.createKey(kUser, "X\\Y\\Z"); return s.openKey(kUser, "x/y"); }, status::kSuccess},
        {"a value name", [&](S& s) { return s.queryValue(kUser, "a\\b", "INSTALLED", value); }, status::kSuccess},
        {"a missing value", [&](S& s) { return s.queryValue(kUser, "P", "Installed", value); }, status::kNotFound},
        {"a value of a missing key", [&](S& s) { return s.queryValue(kUser, "M", "V", value); }, status::kNotFound},
        {"a small buffer", [&](S& s) { return s.queryValue(kUser, "A\\B", "Installed", value, 7); }, status::kMoreData},
        {"setting in a missing key", [](S& s) { return s.setValue(kUser, "M", "V", {}); }, status::kNotFound},
        {"…creates no key", [](S& s) { s.setValue(kUser, "M", "V", {}); return s.openKey(kUser, "M"); }, status::kNotFound},
        {"deleting a value twice",
         [](S& s) { s.deleteValue(kUser, "A\\B", "installed"); return s.deleteValue(kUser, "A\\B", "Installed"); },
         status::kNotFound},
        {"deleting a key with subkeys", [](S& s) { return s.deleteKey(kUser, "P"); }, status::kAccessDenied},
        {"deleting a root key", [](S& s) { return s.deleteKey(kUser, ""); }, status::kAccessDenied},
        {"a key made again has no old values",
         [&](S& s) { s.setValue(kUser, "P\\C", "V", {}); s.deleteKey(kUser, "p/c"); s.createKey(kUser, "P\\C");
                     return s.enumValue(kUser, "P\\C", 0, name, value); },
         status::kNoMoreItems},
        {"subkeys of a missing key", [&](S& s) { return s.enumKey(kUser, "M", 0, name); }, status::kNotFound},
        {"past the last subkey", [&](S& s) { return s.enumKey(kUser, "P", 1, name); }, status::kNoMoreItems},
    };
    int row = 0;
    for (const auto& [what, call, expected] : cases) {
        SettingsStore fresh(mFolder / ("row" + std::to_string(row++) + ".db"));
        fresh.createKey(kUser, "A\\B");
        fresh.setValue(kUser, "A\\B", "Installed", Value::fromString("/opt/bw"));
        fresh.createKey(kUser, "P\\C");
        EXPECT_EQ(call(fresh), expected) << what;
    }
}

TEST_F(SettingsStoreTest, ValuesKeepTheirTypeAndBytesAcrossReopening)
{
    const std::pair<Value, std::vector<uint8_t>> cases[] = {{Value::fromString("/bw"), {'/', 'b', 'w', 0}},
                                                            {Value::fromDWord(0x12345678), {0x78, 0x56, 0x34, 0x12}},
                                                            {Value::fromBinary({}), {}},
                                                            {Value::fromBinary({1, 2, 3}), {1, 2, 3}}};
    store().createKey(kUser, "K");
    for (size_t i = 0; i < std::size(cases); ++i)
        ASSERT_EQ(store().setValue(kUser, "K", "V" + std::to_string(i), cases[i].first), status::kSuccess);
    reopen();
    for (size_t i = 0; i < std::size(cases); ++i) {
        Value read{0, {9}};
        ASSERT_EQ(store().queryValue(kUser, "K", "V" + std::to_string(i), read), status::kSuccess) << i;
        EXPECT_EQ(read.type, cases[i].first.type) << i;
        EXPECT_EQ(read.data, cases[i].second) << i;
    }
    Value untouched = Value::fromDWord(5);
    EXPECT_EQ(store().queryValue(kUser, "K", "V0", untouched, 3), status::kMoreData);
    EXPECT_EQ(untouched.data, Value::fromDWord(5).data);
}

TEST_F(SettingsStoreTest, NamesKeepTheirFirstSpellingAndOrder)
{
    for (const char* key : {"Software\\Brennlow", "SOFTWARE\\BRENNLOW", "Ärger\\Œuvre", "P\\beta", "P\\Alpha",
                            "P\\GAMMA", "P\\alpha\\Deeper"})
        store().createKey(kUser, key);
    store().setValue(kUser, "P", "First", Value::fromDWord(1));
    store().setValue(kUser, "P", "Second", Value::fromDWord(2));
    store().setValue(kUser, "P", "FIRST", Value::fromString("again"));
    const auto list = [&](const char* path, bool values) {
        std::vector<std::string> names;
        std::string name;
        Value value;
        for (uint32_t i = 0; (values ? store().enumValue(kUser, path, i, name, value)
                                     : store().enumKey(kUser, path, i, name)) == status::kSuccess; ++i)
            names.push_back(name);
        return names;
    };
    EXPECT_EQ(store().openKey(kUser, "äRGER\\œUVRE"), status::kSuccess);
    EXPECT_EQ(list("", false), (std::vector<std::string>{"P", "Software", "Ärger"}));
    EXPECT_EQ(list("software", false), std::vector<std::string>{"Brennlow"});
    EXPECT_EQ(list("p", false), (std::vector<std::string>{"Alpha", "beta", "GAMMA"}));
    EXPECT_EQ(list("P", true), (std::vector<std::string>{"First", "Second"}));
}

// Eight processes race to create the file and then write: none may see
// "database is locked", and no write is lost.
TEST_F(SettingsStoreTest, EightProcessesWritingAtOnceLoseNothingAndAreNeverRefused)
{
    const auto name = [](int writer, int i) { return "w" + std::to_string(writer) + "v" + std::to_string(i); };
    const auto key = [](int i) { return "Race\\Level" + std::to_string(i % 5); };
    const auto statuses = runChildren(8, [&](int writer) {
        int failures = 0;
        try {
            SettingsStore own(file());
            for (int i = 0; i < 50; ++i) {
                failures += own.createKey(kUser, key(i)) != status::kSuccess;
                failures += own.setValue(kUser, key(i), name(writer, i), Value::fromDWord(writer * 1000 + i));
            }
        } catch (const Failure&) {
            return 2;
        }
        return failures == 0 ? 0 : 1;
    });
    for (int writer = 0; writer < 8; ++writer) {
        EXPECT_TRUE(exitedWithZero(statuses[writer])) << "writer exit status " << statuses[writer];
        for (int i = 0; i < 50; ++i) {
            Value value;
            ASSERT_EQ(store().queryValue(kUser, key(i), name(writer, i), value), status::kSuccess) << name(writer, i);
            EXPECT_EQ(value.data, Value::fromDWord(writer * 1000 + i).data) << name(writer, i);
        }
    }
}

TEST_F(SettingsStoreTest, AFileThatIsNotAUsableStoreGivesAFailureNamingIt)
{
    writeText(mFolder / "text.db", "[Defaults]\nShowPivotWizardStep1=True\n" + std::string(2000, 'x'));
    SettingsStore(mFolder / "damaged.db").createKey(kUser, "K");
    std::fstream(mFolder / "damaged.db", std::ios::in | std::ios::out | std::ios::binary).seekp(100)
        << std::string(8000, '\x5a');   // the pages after the header: the file still looks like SQLite
    SqliteDb(mFolder / "foreign.db", SqliteDb::Mode::ReadWriteCreate, "test").exec("CREATE TABLE invoices (id)");
    writeText(mFolder / "plain-file", "not a folder");
    for (const auto& [name, problem] : {std::pair{"text.db", "not a database"}, {"damaged.db", ""},
                                        {"foreign.db", "another program"}, {"plain-file/settings.db", ""}}) {
        const std::string description = failureOf([&, name = name] {
            Value value;
            SettingsStore(mFolder / name).queryValue(kUser, "K", "V", value);
        }).description();
        EXPECT_NE(description.find((mFolder / name).string()), std::string::npos) << description;
        EXPECT_NE(description.find(problem), std::string::npos) << description;
    }
}

// No write permission for anyone marks the file read-only for every user,
// the superuser (whom permissions do not stop) included.
TEST_F(SettingsStoreTest, AReadOnlyFileCanBeReadButRefusesWrites)
{
    store().createKey(kUser, "K\\Sub");
    store().setValue(kUser, "K", "V", Value::fromDWord(1));
    reopen();
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    Value value;
    EXPECT_EQ(store().queryValue(kUser, "K", "V", value), status::kSuccess);
    EXPECT_EQ(store().setValue(kUser, "K", "V", Value::fromDWord(2)), status::kAccessDenied);
    EXPECT_EQ(store().createKey(kUser, "K\\New"), status::kAccessDenied);
    EXPECT_EQ(store().deleteKey(kUser, "K\\Sub"), status::kAccessDenied);
    EXPECT_EQ(store().deleteValue(kUser, "K", "V"), status::kAccessDenied);
}

// On a full disk a write fails as a full disk, not as a damaged file, and
// the value written before is still there.
TEST(SettingsStoreOnAFullDisk, AWriteSaysTheDiskIsFull)
{
    FullDisk disk;
    REQUIRE_MOUNTED(disk);
    SettingsStore store(disk / "settings.db");
    ASSERT_EQ(store.createKey(kUser, "K"), status::kSuccess);
    ASSERT_EQ(store.setValue(kUser, "K", "Kept", Value::fromString("yes")), status::kSuccess);
    disk.fill();
    const Failure failure = failureOf([&] { store.setValue(kUser, "K", "Big", Value::fromBinary(std::vector<uint8_t>(200000, 7))); });
    EXPECT_EQ(failure.number(), err::kDiskFull);
    EXPECT_NE(failure.description().find("cannot be written: the disk is full"), std::string::npos) << failure.description();
    EXPECT_EQ(failure.description().find("damaged"), std::string::npos) << failure.description();
    Value kept;
    EXPECT_EQ(store.queryValue(kUser, "K", "Kept", kept), status::kSuccess);
}

}  // namespace
