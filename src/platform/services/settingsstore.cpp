#include "platform/services/settingsstore.h"

#include "platform/core/failure.h"

#include <chrono>
#include <cstdlib>
#include <locale.h>
#include <wctype.h>

namespace platform {

namespace {

constexpr int32_t kApplicationId = 0x50575354;   // "PWST"
constexpr int32_t kSchemaVersion = 1;
// Long enough for any other process to finish a settings write, short enough
// that a hung process shows up as a failure instead of a frozen wizard.
constexpr int kBusyTimeoutMs = 10000;
constexpr uint32_t kFirstRoot = 0x80000000;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys (
  id INTEGER PRIMARY KEY,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  UNIQUE (parent, fold));
CREATE TABLE key_values (
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL REFERENCES keys(id),
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE (key, fold));
INSERT INTO keys (id, parent, name, fold) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
  (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
  (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
  (4, 0, 'HKEY_USERS', 'HKEY_USERS'),
  (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG'),
  (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA');
PRAGMA application_id = 1347900244;
PRAGMA user_version = 1;
)sql";

// The row id of a root key; 0 for a number that is no root.
int64_t rootId(RootKey root)
{
    const uint32_t offset = static_cast<uint32_t>(root) - kFirstRoot;
    return offset <= 6 && offset != 4 ? offset + 1 : 0;
}

SqliteDb::Options databaseOptions()
{
    SqliteDb::Options options;
    options.mode = SqliteDb::Mode::ReadWriteCreate;
    options.source = "SettingsStore";
    options.subject = "The settings file";
    options.createFolders = true;
    options.busyTimeoutMs = kBusyTimeoutMs;
    return options;
}

int64_t tableCount(const SqliteDb& db)
{
    SqliteStatement query(db, "SELECT count(*) FROM sqlite_master");
    return query.step() ? query.integer(0) : 0;
}

std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("\\/", start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Length of the UTF-8 sequence that starts at `text[0]` and its code point;
// 0 for a byte that starts no valid sequence.
size_t decodeUtf8(std::string_view text, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0x80          ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || length > text.size())
        return 0;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    return length;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Upper case independent of the user's locale, so that every process folds a
// name the same way. Without the C.UTF-8 tables only ASCII letters fold.
char32_t upperCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    return utf8 ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8)) : c;
}

// The lookup form of a key or value name. Bytes that are not valid UTF-8 are
// kept as they are.
std::string foldName(std::string_view name)
{
    std::string folded;
    folded.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        char32_t c = 0;
        const size_t length = decodeUtf8(name.substr(i), c);
        if (length == 0) {
            folded += name[i++];
            continue;
        }
        appendUtf8(folded, upperCase(c));
        i += length;
    }
    return folded;
}

}  // namespace

Value Value::fromString(std::string_view text)
{
    Value value{valuetype::kString, {text.begin(), text.end()}};
    value.data.push_back(0);
    return value;
}

Value Value::fromDWord(uint32_t number)
{
    return {valuetype::kDWord,
            {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16), uint8_t(number >> 24)}};
}

Value Value::fromBinary(std::vector<uint8_t> bytes) { return {valuetype::kBinary, std::move(bytes)}; }

std::filesystem::path SettingsStore::defaultFile()
{
    auto variable = [](const char* name) -> std::string {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    if (const std::string explicitFile = variable("PIVOTWIZARD_SETTINGS"); !explicitFile.empty())
        return explicitFile;
    std::filesystem::path config = variable("XDG_CONFIG_HOME");
    if (config.empty())
        config = std::filesystem::path(variable("HOME")) / ".config";
    return config / "pivotwizard" / "settings.db";
}

SettingsStore::SettingsStore(std::filesystem::path file)
    : mDb(file, databaseOptions())
{
    retrying([&] {
        initialise();
        return 0;
    });
}

// Runs `operation` again while another process holds the file locked for
// longer than SQLite's own wait, up to kBusyTimeoutMs after the first try:
// under many writers a write waits its turn instead of failing.
template <class Operation>
auto SettingsStore::retrying(Operation operation) const -> decltype(operation())
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        try {
            return operation();
        } catch (const SqliteBusy&) {
            if (std::chrono::steady_clock::now() >= deadline)
                throw;
        }
    }
}

SettingsStore::~SettingsStore() = default;

// Checks that the file is ours, and lays out the tables in a new file. A
// file that already holds tables of another program is refused rather than
// mixed with ours.
void SettingsStore::initialise()
{
    if (mDb.pragma("application_id") == kApplicationId && mDb.pragma("user_version") == kSchemaVersion)
        return useWriteAheadLog();
    if (mDb.isReadOnly())
        mDb.refuse(err::kPathFileAccess, "is read-only and not set up");

    SqliteTransaction transaction(mDb, true);
    // Another process may have set the file up while this one waited for the lock.
    const int64_t application = mDb.pragma("application_id");
    const int64_t version = mDb.pragma("user_version");
    if (application == kApplicationId && version == kSchemaVersion) {
        transaction.commit();
        return useWriteAheadLog();
    }
    if (application == kApplicationId && version > kSchemaVersion)
        mDb.refuse(err::kPathFileAccess, "was written by a newer version of this program");
    if (application != 0 || tableCount(mDb) != 0)
        mDb.refuse(err::kPathFileAccess, "is a database of another program");
    mDb.exec(kSchema, "cannot be set up");
    transaction.commit();
    useWriteAheadLog();
}

// With a write-ahead log readers never wait for a writer, and a writer waits
// only for the one writing before it. The mode stays with the file, so this
// changes it once; a file this process may not write keeps the mode it has.
void SettingsStore::useWriteAheadLog()
{
    if (!mDb.isReadOnly())
        mDb.exec("PRAGMA journal_mode = WAL", "cannot be set up");
}

int64_t SettingsStore::findKey(RootKey root, std::string_view path) const
{
    int64_t id = rootId(root);
    for (const std::string_view part : splitPath(path)) {
        if (id == 0)
            break;
        SqliteStatement child(mDb, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
        child.bind(id).bind(foldName(part));
        id = child.step() ? child.integer(0) : 0;
    }
    return id;
}

int32_t SettingsStore::openKey(RootKey root, std::string_view path) const
{
    return retrying([&] {
        SqliteTransaction transaction(mDb, false);
        const int64_t key = findKey(root, path);
        transaction.commit();
        return key ? status::kSuccess : status::kNotFound;
    });
}

int32_t SettingsStore::createKey(RootKey root, std::string_view path)
{
    return retrying([&] {
        if (rootId(root) == 0)
            return status::kNotFound;
        if (mDb.isReadOnly())
            return findKey(root, path) ? status::kSuccess : status::kAccessDenied;
        SqliteTransaction transaction(mDb, true);
        int64_t id = rootId(root);
        for (const std::string_view part : splitPath(path)) {
            SqliteStatement child(mDb, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
            child.bind(id).bind(foldName(part));
            if (child.step()) {
                id = child.integer(0);
                continue;
            }
            SqliteStatement insert(mDb, "INSERT INTO keys (parent, name, fold) VALUES (?1, ?2, ?3)");
            insert.bind(id).bind(part).bind(foldName(part)).step();
            id = mDb.lastInsertRowId();
        }
        transaction.commit();
        return status::kSuccess;
    });
}

int32_t SettingsStore::deleteKey(RootKey root, std::string_view path)
{
    return retrying([&] {
        if (mDb.isReadOnly())
            return findKey(root, path) ? status::kAccessDenied : status::kNotFound;
        SqliteTransaction transaction(mDb, true);
        const int64_t key = findKey(root, path);
        if (key == 0)
            return status::kNotFound;
        SqliteStatement children(mDb, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
        if (splitPath(path).empty() || children.bind(key).step())
            return status::kAccessDenied;
        SqliteStatement(mDb, "DELETE FROM key_values WHERE key = ?1").bind(key).step();
        SqliteStatement(mDb, "DELETE FROM keys WHERE id = ?1").bind(key).step();
        transaction.commit();
        return status::kSuccess;
    });
}

int32_t SettingsStore::queryValue(RootKey root, std::string_view path, std::string_view name, Value& value,
                                  size_t capacity) const
{
    return retrying([&] {
        SqliteTransaction transaction(mDb, false);
        const int64_t key = findKey(root, path);
        if (key == 0)
            return status::kNotFound;
        SqliteStatement query(mDb, "SELECT type, data FROM key_values WHERE key = ?1 AND fold = ?2");
        if (!query.bind(key).bind(foldName(name)).step())
            return status::kNotFound;
        const std::span<const uint8_t> data = query.blob(1);
        if (data.size() > capacity)
            return status::kMoreData;
        value = {static_cast<uint32_t>(query.integer(0)), {data.begin(), data.end()}};
        transaction.commit();
        return status::kSuccess;
    });
}

int32_t SettingsStore::setValue(RootKey root, std::string_view path, std::string_view name, const Value& value)
{
    return retrying([&] {
        if (mDb.isReadOnly())
            return findKey(root, path) ? status::kAccessDenied : status::kNotFound;
        SqliteTransaction transaction(mDb, true);
        const int64_t key = findKey(root, path);
        if (key == 0)
            return status::kNotFound;
        // Replacing keeps the row, and with it the value's place in the enumeration
        // and the spelling of its name.
        SqliteStatement upsert(mDb, "INSERT INTO key_values (key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                                "ON CONFLICT (key, fold) DO UPDATE SET type = excluded.type, data = excluded.data");
        upsert.bind(key).bind(name).bind(foldName(name)).bind(int64_t(value.type)).bindBlob(value.data).step();
        transaction.commit();
        return status::kSuccess;
    });
}

int32_t SettingsStore::deleteValue(RootKey root, std::string_view path, std::string_view name)
{
    return retrying([&] {
        Value ignored;
        if (mDb.isReadOnly())
            return queryValue(root, path, name, ignored) == status::kSuccess ? status::kAccessDenied : status::kNotFound;
        SqliteTransaction transaction(mDb, true);
        const int64_t key = findKey(root, path);
        if (key == 0)
            return status::kNotFound;
        SqliteStatement(mDb, "DELETE FROM key_values WHERE key = ?1 AND fold = ?2").bind(key).bind(foldName(name)).step();
        if (mDb.changes() == 0)
            return status::kNotFound;
        transaction.commit();
        return status::kSuccess;
    });
}

template <class Read>
int32_t SettingsStore::enumRow(RootKey root, std::string_view path, uint32_t index, const char* sql,
                               Read read) const
{
    return retrying([&] {
        SqliteTransaction transaction(mDb, false);
        const int64_t key = findKey(root, path);
        if (key == 0)
            return status::kNotFound;
        SqliteStatement query(mDb, sql);
        if (!query.bind(key).bind(int64_t(index)).step())
            return status::kNoMoreItems;
        read(query);
        transaction.commit();
        return status::kSuccess;
    });
}

int32_t SettingsStore::enumKey(RootKey root, std::string_view path, uint32_t index, std::string& name) const
{
    return enumRow(root, path, index, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
                   [&](SqliteStatement& query) { name = query.text(0); });
}

int32_t SettingsStore::enumValue(RootKey root, std::string_view path, uint32_t index, std::string& name,
                                 Value& value) const
{
    return enumRow(root, path, index,
                   "SELECT name, type, data FROM key_values WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
                   [&](SqliteStatement& query) {
                       name = query.text(0);
                       const std::span<const uint8_t> data = query.blob(2);
                       value = {static_cast<uint32_t>(query.integer(1)), {data.begin(), data.end()}};
                   });
}

}  // namespace platform
