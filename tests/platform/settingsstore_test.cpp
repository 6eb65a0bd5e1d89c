#include "platform/services/settingsstore.h"

#include "platform/core/failure.h"
#include "support/scratchfolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr RootKey kUser = RootKey::CurrentUser;

std::string textOf(const Value& value) { return std::string(value.data.begin(), value.data.end()); }

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

}  // namespace

TEST_F(SettingsStoreTest, OpeningCreatesTheFileAndItsMissingFolders)
{
    const std::filesystem::path deep = mFolder / "a/b/c/settings.db";
    SettingsStore created(deep);
    EXPECT_TRUE(std::filesystem::is_regular_file(deep));
}

TEST_F(SettingsStoreTest, EveryRootKeyExistsInANewStore)
{
    for (RootKey root : {RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine, RootKey::Users,
                         RootKey::CurrentConfig, RootKey::DynData}) {
        EXPECT_EQ(store().openKey(root, ""), status::kSuccess) << static_cast<uint32_t>(root);
    }
}

TEST_F(SettingsStoreTest, OpeningAMissingKeyIsNotFound)
{
    EXPECT_EQ(store().openKey(kUser, "Software\\Brennlow"), status::kNotFound);
}

TEST_F(SettingsStoreTest, CreatingAKeyCreatesEveryKeyOnItsPath)
{
    ASSERT_EQ(store().createKey(kUser, "Software\\Brennlow\\Defaults"), status::kSuccess);
    EXPECT_EQ(store().openKey(kUser, "Software"), status::kSuccess);
    EXPECT_EQ(store().openKey(kUser, "Software\\Brennlow"), status::kSuccess);
    EXPECT_EQ(store().openKey(kUser, "Software\\Brennlow\\Defaults"), status::kSuccess);
}

TEST_F(SettingsStoreTest, KeysUnderDifferentRootsAreSeparate)
{
    store().createKey(RootKey::LocalMachine, "Software");
    EXPECT_EQ(store().openKey(kUser, "Software"), status::kNotFound);
}

TEST_F(SettingsStoreTest, KeyPathsAreReadWithoutRegardToCaseOrSeparator)
{
    store().createKey(kUser, "Software\\Brennlow\\Defaults");
    for (const char* path : {"SOFTWARE\\brennlow\\DeFaUlTs", "Software/Brennlow/Defaults", "\\Software\\\\Brennlow\\Defaults\\",
                             "software/BRENNLOW\\defaults"}) {
        EXPECT_EQ(store().openKey(kUser, path), status::kSuccess) << path;
    }
}

TEST_F(SettingsStoreTest, NonAsciiLettersAlsoCompareWithoutRegardToCase)
{
    store().createKey(kUser, "Ärger\\Œuvre");
    EXPECT_EQ(store().openKey(kUser, "äRGER\\œUVRE"), status::kSuccess);
}

TEST_F(SettingsStoreTest, CreatingAnExistingKeyInOtherCaseKeepsTheFirstSpelling)
{
    store().createKey(kUser, "Software\\Brennlow");
    store().createKey(kUser, "SOFTWARE\\BRENNLOW");
    std::string name;
    ASSERT_EQ(store().enumKey(kUser, "software", 0, name), status::kSuccess);
    EXPECT_EQ(name, "Brennlow");
    EXPECT_EQ(store().enumKey(kUser, "software", 1, name), status::kNoMoreItems);
}

TEST_F(SettingsStoreTest, AStringValueReadsBackWithItsTerminatingNul)
{
    store().createKey(kUser, "Software");
    ASSERT_EQ(store().setValue(kUser, "Software", "Installed", Value::fromString("/opt/bw")), status::kSuccess);
    Value value;
    ASSERT_EQ(store().queryValue(kUser, "Software", "Installed", value), status::kSuccess);
    EXPECT_EQ(value.type, valuetype::kString);
    EXPECT_EQ(textOf(value), std::string("/opt/bw\0", 8));
}

TEST_F(SettingsStoreTest, ADoubleWordIsFourBytesLittleEndian)
{
    EXPECT_EQ(Value::fromDWord(0x12345678).data, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(Value::fromDWord(0x12345678).type, valuetype::kDWord);
}

TEST_F(SettingsStoreTest, AnEmptyBinaryValueStaysEmpty)
{
    store().createKey(kUser, "K");
    ASSERT_EQ(store().setValue(kUser, "K", "Empty", Value::fromBinary({})), status::kSuccess);
    Value value{valuetype::kString, {1, 2}};
    ASSERT_EQ(store().queryValue(kUser, "K", "Empty", value), status::kSuccess);
    EXPECT_EQ(value.type, valuetype::kBinary);
    EXPECT_TRUE(value.data.empty());
}

TEST_F(SettingsStoreTest, ValueNamesAreReadWithoutRegardToCase)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "ShowPivotWizardStep1", Value::fromString("False"));
    Value value;
    EXPECT_EQ(store().queryValue(kUser, "k", "SHOWPIVOTWIZARDSTEP1", value), status::kSuccess);
}

TEST_F(SettingsStoreTest, ReplacingAValueInOtherCaseKeepsTheNameAndItsPlace)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "First", Value::fromDWord(1));
    store().setValue(kUser, "K", "Second", Value::fromDWord(2));
    store().setValue(kUser, "K", "FIRST", Value::fromString("again"));

    std::string name;
    Value value;
    ASSERT_EQ(store().enumValue(kUser, "K", 0, name, value), status::kSuccess);
    EXPECT_EQ(name, "First");
    EXPECT_EQ(textOf(value), std::string("again\0", 6));
    ASSERT_EQ(store().enumValue(kUser, "K", 1, name, value), status::kSuccess);
    EXPECT_EQ(name, "Second");
    EXPECT_EQ(store().enumValue(kUser, "K", 2, name, value), status::kNoMoreItems);
}

TEST_F(SettingsStoreTest, QueryingIntoASmallerBufferIsMoreDataAndLeavesTheTargetAlone)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "D", Value::fromDWord(7));
    Value value = Value::fromString("untouched");
    EXPECT_EQ(store().queryValue(kUser, "K", "D", value, 2), status::kMoreData);
    EXPECT_EQ(textOf(value), std::string("untouched\0", 10));
    EXPECT_EQ(store().queryValue(kUser, "K", "D", value, 4), status::kSuccess);
}

TEST_F(SettingsStoreTest, QueryingAMissingValueOrKeyIsNotFound)
{
    store().createKey(kUser, "K");
    Value value;
    EXPECT_EQ(store().queryValue(kUser, "K", "Nothing", value), status::kNotFound);
    EXPECT_EQ(store().queryValue(kUser, "Missing", "Nothing", value), status::kNotFound);
}

TEST_F(SettingsStoreTest, SettingAValueInAMissingKeyIsNotFoundAndCreatesNothing)
{
    EXPECT_EQ(store().setValue(kUser, "Missing", "V", Value::fromDWord(1)), status::kNotFound);
    EXPECT_EQ(store().openKey(kUser, "Missing"), status::kNotFound);
}

TEST_F(SettingsStoreTest, DeletingAValueRemovesItOnce)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "V", Value::fromDWord(1));
    EXPECT_EQ(store().deleteValue(kUser, "K", "v"), status::kSuccess);
    Value value;
    EXPECT_EQ(store().queryValue(kUser, "K", "V", value), status::kNotFound);
    EXPECT_EQ(store().deleteValue(kUser, "K", "V"), status::kNotFound);
    EXPECT_EQ(store().deleteValue(kUser, "Missing", "V"), status::kNotFound);
}

TEST_F(SettingsStoreTest, DeletingAKeyWithSubkeysIsAccessDenied)
{
    store().createKey(kUser, "Parent\\Child");
    EXPECT_EQ(store().deleteKey(kUser, "Parent"), status::kAccessDenied);
    EXPECT_EQ(store().openKey(kUser, "Parent\\Child"), status::kSuccess);
}

TEST_F(SettingsStoreTest, DeletingARootKeyIsAccessDenied)
{
    EXPECT_EQ(store().deleteKey(kUser, ""), status::kAccessDenied);
    EXPECT_EQ(store().openKey(kUser, ""), status::kSuccess);
}

TEST_F(SettingsStoreTest, DeletingAKeyTakesItsValuesWithIt)
{
    store().createKey(kUser, "Parent\\Child");
    store().setValue(kUser, "Parent\\Child", "V", Value::fromDWord(1));
    ASSERT_EQ(store().deleteKey(kUser, "parent/CHILD"), status::kSuccess);
    EXPECT_EQ(store().openKey(kUser, "Parent\\Child"), status::kNotFound);

    store().createKey(kUser, "Parent\\Child");
    std::string name;
    Value value;
    EXPECT_EQ(store().enumValue(kUser, "Parent\\Child", 0, name, value), status::kNoMoreItems);
}

TEST_F(SettingsStoreTest, DeletingAMissingKeyIsNotFound)
{
    EXPECT_EQ(store().deleteKey(kUser, "Missing\\Key"), status::kNotFound);
}

TEST_F(SettingsStoreTest, SubkeysAreEnumeratedInNameOrderWithoutRegardToCase)
{
    for (const char* key : {"Parent\\beta", "Parent\\Alpha", "Parent\\GAMMA", "Parent\\alpha\\Deeper"})
        store().createKey(kUser, key);
    std::vector<std::string> names;
    std::string name;
    uint32_t index = 0;
    while (store().enumKey(kUser, "Parent", index++, name) == status::kSuccess)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "GAMMA"}));
    EXPECT_EQ(store().enumKey(kUser, "Parent", 3, name), status::kNoMoreItems);
}

TEST_F(SettingsStoreTest, EnumeratingAMissingKeyIsNotFound)
{
    std::string name;
    Value value;
    EXPECT_EQ(store().enumKey(kUser, "Missing", 0, name), status::kNotFound);
    EXPECT_EQ(store().enumValue(kUser, "Missing", 0, name, value), status::kNotFound);
}

TEST_F(SettingsStoreTest, ValuesSurviveClosingAndReopening)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "V", Value::fromBinary({1, 2, 3}));
    reopen();
    Value value;
    ASSERT_EQ(store().queryValue(kUser, "K", "V", value), status::kSuccess);
    EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(SettingsStoreTest, FourProcessesWritingAtOnceLoseNothing)
{
    constexpr int kValuesPerProcess = 100;
    constexpr int kWriters = 4;
    store();   // the file exists before the writers race
    reopen();

    int startGate[2];
    ASSERT_EQ(::pipe(startGate), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child: no test assertions here, only an exit code.
            ::close(startGate[1]);
            char ignored;
            (void)!::read(startGate[0], &ignored, 1);   // returns when the parent closes the gate
            int failures = 0;
            try {
                SettingsStore own(file());
                for (int i = 0; i < kValuesPerProcess; ++i) {
                    const std::string key = "Race\\Shared\\Level" + std::to_string(i % 5);
                    failures += own.createKey(kUser, key) != status::kSuccess;
                    const std::string name = "w" + std::to_string(writer) + "v" + std::to_string(i);
                    failures += own.setValue(kUser, key, name, Value::fromDWord(uint32_t(writer * 1000 + i)))
                                != status::kSuccess;
                }
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        writers.push_back(pid);
    }
    ::close(startGate[0]);
    ::close(startGate[1]);
    for (const pid_t pid : writers) {
        int result = -1;
        ASSERT_EQ(::waitpid(pid, &result, 0), pid);
        EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0) << "writer exit status " << result;
    }

    for (int writer = 0; writer < kWriters; ++writer) {
        for (int i = 0; i < kValuesPerProcess; ++i) {
            const std::string name = "w" + std::to_string(writer) + "v" + std::to_string(i);
            Value value;
            ASSERT_EQ(store().queryValue(kUser, "Race\\Shared\\Level" + std::to_string(i % 5), name, value),
                      status::kSuccess)
                << name;
            EXPECT_EQ(value.data, Value::fromDWord(uint32_t(writer * 1000 + i)).data) << name;
        }
    }
}

TEST_F(SettingsStoreTest, ACrashInTheMiddleOfAWriteLeavesTheOldValue)
{
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "V", Value::fromString("old"));
    reopen();

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Changes the value on disk inside a transaction, then dies before committing.
        sqlite3* db = nullptr;
        sqlite3_open(file().c_str(), &db);
        sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE key_values SET data = X'DEADBEEF';", nullptr, nullptr, nullptr);
        const int flushed = sqlite3_db_cacheflush(db);
        ::_exit(flushed == SQLITE_OK ? 0 : 1);
    }
    int result = -1;
    ASSERT_EQ(::waitpid(pid, &result, 0), pid);
    ASSERT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0);

    Value value;
    ASSERT_EQ(store().queryValue(kUser, "K", "V", value), status::kSuccess);
    EXPECT_EQ(textOf(value), std::string("old\0", 4));
}

TEST_F(SettingsStoreTest, AFileThatIsNoDatabaseGivesAFailureNamingIt)
{
    std::ofstream(file()) << "[Defaults]\nShowPivotWizardStep1=True\n" << std::string(2000, 'x');
    try {
        SettingsStore broken(file());
        FAIL() << "a text file opened as settings store";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(file().string()), std::string::npos) << failure.description();
        EXPECT_NE(failure.description().find("not a database"), std::string::npos) << failure.description();
    }
}

TEST_F(SettingsStoreTest, ADamagedDatabaseGivesAFailureNamingIt)
{
    store().createKey(kUser, "K");
    reopen();
    {
        // Overwrite the pages after the header: the file still looks like SQLite.
        std::fstream damage(file(), std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(100);
        damage << std::string(8000, '\x5a');
    }
    try {
        SettingsStore broken(file());
        Value value;
        broken.queryValue(kUser, "K", "V", value);
        FAIL() << "a damaged file was read";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(file().string()), std::string::npos) << failure.description();
    }
}

TEST_F(SettingsStoreTest, ADatabaseOfAnotherProgramIsRefused)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE invoices (id INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    try {
        SettingsStore foreign(file());
        FAIL() << "another program's database was taken over";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(file().string()), std::string::npos) << failure.description();
        EXPECT_NE(failure.description().find("another program"), std::string::npos) << failure.description();
    }
}

TEST_F(SettingsStoreTest, AFolderThatCannotBeCreatedGivesAFailureNamingTheFile)
{
    std::ofstream(mFolder / "plain-file") << "not a folder";
    const std::filesystem::path impossible = mFolder / "plain-file/settings.db";
    try {
        SettingsStore store(impossible);
        FAIL() << "a store was opened below a plain file";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.description().find(impossible.string()), std::string::npos) << failure.description();
    }
}

TEST_F(SettingsStoreTest, AReadOnlyFileCanBeReadButRefusesWrites)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the superuser";
    store().createKey(kUser, "K");
    store().setValue(kUser, "K", "V", Value::fromDWord(1));
    reopen();
    std::filesystem::permissions(file(), std::filesystem::perms::owner_read);
    Value value;
    EXPECT_EQ(store().queryValue(kUser, "K", "V", value), status::kSuccess);
    EXPECT_EQ(store().setValue(kUser, "K", "V", Value::fromDWord(2)), status::kAccessDenied);
    EXPECT_EQ(store().deleteKey(kUser, "K"), status::kAccessDenied);
}

class SettingsLocation : public testing::Test {
protected:
    ScopedEnvironment mExplicit{"PIVOTWIZARD_SETTINGS", nullptr};
    ScopedEnvironment mXdg{"XDG_CONFIG_HOME", nullptr};
    ScopedEnvironment mHome{"HOME", "/home/tester"};
};

TEST_F(SettingsLocation, TheEnvironmentVariableNamesTheFileItself)
{
    ScopedEnvironment chosen("PIVOTWIZARD_SETTINGS", "/srv/shared/wizard.db");
    ScopedEnvironment xdg("XDG_CONFIG_HOME", "/elsewhere");
    EXPECT_EQ(SettingsStore::defaultFile(), "/srv/shared/wizard.db");
}

TEST_F(SettingsLocation, WithoutItTheFileLivesInTheXdgConfigFolder)
{
    ScopedEnvironment xdg("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(SettingsStore::defaultFile(), "/cfg/pivotwizard/settings.db");
}

TEST_F(SettingsLocation, WithoutAnyTheFileLivesInTheHomeConfigFolder)
{
    EXPECT_EQ(SettingsStore::defaultFile(), "/home/tester/.config/pivotwizard/settings.db");
}

TEST_F(SettingsLocation, EmptyVariablesCountAsUnset)
{
    ScopedEnvironment chosen("PIVOTWIZARD_SETTINGS", "");
    ScopedEnvironment xdg("XDG_CONFIG_HOME", "");
    EXPECT_EQ(SettingsStore::defaultFile(), "/home/tester/.config/pivotwizard/settings.db");
}
