// The settings store: a hierarchy of keys holding typed values, kept in one
// SQLite file. It serves the wizard's registry functions on a system without
// a registry, so it speaks the registry's vocabulary: the same root keys, the
// same value types and the same status codes.
//
// Keys and values are addressed by root and path on every call; nothing stays
// open between calls, so a key deleted by another process can never leave a
// stale handle behind. Each call is one SQLite transaction: writers take the
// write lock up front (BEGIN IMMEDIATE) and wait for each other, and a crash
// in the middle of a write leaves the file as it was before that write. The
// file keeps a write-ahead log (PRAGMA journal_mode = WAL): readers never
// wait, and a call that finds the file locked by other processes retries for
// up to ten seconds before it fails, so many writers at once all get their
// turn (bench/settingsstress.cpp: eight processes writing for 30 seconds).
//
// Names of keys and values are compared without regard to case and keep the
// spelling they were created with. A key path separates its keys with '\' or
// '/'; empty components (a leading, trailing or doubled separator) are
// ignored, so the empty path names the root key itself.
//
// File layout (PRAGMA application_id 0x50575354, user_version 1):
//
//   CREATE TABLE keys (
//     id     INTEGER PRIMARY KEY,
//     parent INTEGER NOT NULL,   -- id of the parent key; 0 for a root key
//     name   TEXT NOT NULL,      -- as first written
//     fold   TEXT NOT NULL,      -- name in upper case: the lookup key
//     UNIQUE (parent, fold));
//   CREATE TABLE key_values (
//     id     INTEGER PRIMARY KEY,   -- explicit, so VACUUM keeps the enumeration order
//     key    INTEGER NOT NULL REFERENCES keys(id),
//     name   TEXT NOT NULL,      -- as first written; '' is the key's default value
//     fold   TEXT NOT NULL,
//     type   INTEGER NOT NULL,   -- 1 string, 3 binary, 4 double word
//     data   BLOB NOT NULL,      -- raw bytes, strings with their terminating NUL
//     UNIQUE (key, fold));
//
// The six root keys are rows with fixed ids 1..7 (the root handle's low bits
// plus one) and parent 0. Values are enumerated in the order they were first
// written, subkeys in the upper-case order of their names.
#pragma once

#include "platform/core/sqlitedb.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Root keys, numbered as the registry's predefined handles.
enum class RootKey : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
    CurrentConfig = 0x80000005,
    DynData = 0x80000006,
};

// Status codes, the registry's own numbers. The store never returns any other.
namespace status {
inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kNotFound = 2;        // the key or the value does not exist
inline constexpr int32_t kAccessDenied = 5;    // a root key, a key with subkeys, or a read-only file
inline constexpr int32_t kMoreData = 234;      // the data is larger than the caller's buffer
inline constexpr int32_t kNoMoreItems = 259;   // enumeration index past the last item
}  // namespace status

// Value types, the registry's own numbers.
namespace valuetype {
inline constexpr uint32_t kString = 1;   // REG_SZ: text in UTF-8 followed by one NUL byte
inline constexpr uint32_t kBinary = 3;   // REG_BINARY: any bytes
inline constexpr uint32_t kDWord = 4;    // REG_DWORD: 4 bytes, little-endian
}  // namespace valuetype

struct Value {
    uint32_t type = valuetype::kBinary;
    std::vector<uint8_t> data;

    // A string value: the UTF-8 bytes of `text` and a terminating NUL.
    static Value fromString(std::string_view text);
    static Value fromDWord(uint32_t number);
    static Value fromBinary(std::vector<uint8_t> bytes);
};

class SettingsStore {
public:
    // No limit on the size of a value a query may return.
    static constexpr size_t kAnySize = SIZE_MAX;

    // Where the product keeps its settings: $PIVOTWIZARD_SETTINGS when set and
    // not empty, else $XDG_CONFIG_HOME/pivotwizard/settings.db, else
    // $HOME/.config/pivotwizard/settings.db. Reads the environment on every call.
    static std::filesystem::path defaultFile();

    // Opens the store in `file`, creating the file and its folders when they
    // do not exist. A file that is read-only opens for reading; writes then
    // return kAccessDenied.
    // Throws Failure (its description names the file) when the file cannot
    // be created or opened, is not an SQLite database, is damaged, or belongs
    // to another program.
    explicit SettingsStore(std::filesystem::path file);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const std::filesystem::path& file() const { return mDb.file(); }

    // Every function below returns one of the status codes above. Failures of
    // the file itself (damaged on disk, locked by another process for longer
    // than the busy timeout, disk full) throw Failure instead.

    // 0 when the key exists, kNotFound when it does not.
    int32_t openKey(RootKey root, std::string_view path) const;
    // Creates the key and every missing key on its path; 0 when it exists afterwards.
    int32_t createKey(RootKey root, std::string_view path);
    // Deletes the key and its values. kAccessDenied when the key still has
    // subkeys or is a root key; kNotFound when it does not exist.
    int32_t deleteKey(RootKey root, std::string_view path);

    // Copies the value `name` of the key into `value`. kMoreData when its data
    // is larger than `capacity` bytes; then `value` is left unchanged, as it is
    // for every status but 0.
    int32_t queryValue(RootKey root, std::string_view path, std::string_view name, Value& value,
                       size_t capacity = kAnySize) const;
    // Creates or replaces the value `name`; kNotFound when the key does not exist.
    int32_t setValue(RootKey root, std::string_view path, std::string_view name, const Value& value);
    // kNotFound when the key or the value does not exist.
    int32_t deleteValue(RootKey root, std::string_view path, std::string_view name);

    // The name of the subkey number `index` (from 0); kNoMoreItems past the last.
    int32_t enumKey(RootKey root, std::string_view path, uint32_t index, std::string& name) const;
    // The name and value of the value number `index` (from 0); kNoMoreItems past the last.
    int32_t enumValue(RootKey root, std::string_view path, uint32_t index, std::string& name,
                      Value& value) const;

private:
    void initialise();
    void useWriteAheadLog();
    template <class Operation>
    auto retrying(Operation operation) const -> decltype(operation());
    int64_t findKey(RootKey root, std::string_view path) const;   // 0 when missing
    // Row `index` of `sql` (?1 = the key found at `path`, ?2 = the offset),
    // handed to `read`; kNotFound without the key, kNoMoreItems past the end.
    template <class Read>
    int32_t enumRow(RootKey root, std::string_view path, uint32_t index, const char* sql, Read read) const;

    SqliteDb mDb;
};

}  // namespace platform
