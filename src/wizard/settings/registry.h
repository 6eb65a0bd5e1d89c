// The module `registry`: read, write, delete and list settings either in the
// settings store (the registry's keys, value types and status codes) or in
// an INI file, chosen by the first argument. A root-key abbreviation selects
// the store, any other text is the path of an existing INI file.
//
// Root texts, in any letter case: "HKCU", "HKLM", "HKU", "HKDD", "HKCC",
// "HKCR". Value types, in any letter case: "S" a string (stored with its
// terminating NUL), "B" a boolean as 2 bytes (true = all bits set), "D" a
// double word (read as a 32-bit integer; written from a 16-bit integer,
// sign-extended); any other type reads and writes nothing.
//
// Every function returns a status: 0 success, otherwise the store's code (2
// missing key or value, 5 access denied, 234 more data), 6 when a key
// function is given an INI file (a file is no key), or 99 when nothing could
// be attempted (an unknown root naming no existing file, or a settings file
// that cannot be opened). The INI branches return what the profile functions
// return, as each function says.
//
// These functions never show anything and never throw: an unexpected failure
// (a value that cannot be converted, a damaged settings file) ends the
// function with the status reached so far. The store is opened on each call
// at SettingsStore::defaultFile(), so a change of PIVOTWIZARD_SETTINGS takes
// effect at the next call.
#pragma once

#include <QString>
#include <QVariant>

// The root handle of a root text (0x80000000 HKCR .. 0x80000006 HKDD, as
// 32-bit signed numbers); for any other text 1 when it names an existing
// file (not a folder), else 0.
qint32 fTopKey(const QString& sTopKeyOrFile);

// Sets vValue to vDefault, then reads. INI file: type "S" reads the entry as
// text (vDefault as text when missing, at most 254 characters); any other
// type reads it as an integer (0 when missing); status 0. Store: "S" gives
// the text without its NUL, "B" a bool, "D" a qint32; a failed read returns
// its status and leaves vValue = vDefault.
qint32 fReadValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName,
                  const QString& sValueType, const QVariant& vDefault, QVariant& vValue);

// INI file: type "S" only, returns 1 when written and 0 when not; other types
// return 99. Store: creates the key (and every missing key on its path),
// then writes the value. A "D" value outside -32768..32767, or a value that
// cannot be converted, writes nothing and returns 0 (the key was created).
qint32 fWriteValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName,
                   const QString& sValueType, const QVariant& vValue);

// Deletes the subkey sKeyName of sSubKey (an empty sKeyName: sSubKey
// itself). 0 also when either does not exist; 5 when the key has subkeys.
qint32 fDeleteKey(const QString& sTopKey, const QString& sSubKey, const QString& sKeyName);

// Store: deletes the value; 0 also when the key or the value does not exist.
// INI file: sets the entry to an empty text (the line stays); 1 when
// written, 0 when not.
qint32 fDeleteValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName);

// Appends the names of the subkeys of sSubKey to sValues, each followed by a
// NUL, then one more NUL; a key without subkeys gives two NULs. When the key
// cannot be opened its status is returned and sValues is left alone.
// Callers pass an empty sValues.
qint32 fEnumKey(const QString& sTopKey, const QString& sSubKey, QString& sValues);

// INI file: sValues becomes 8192 characters: the section's entries as
// "key=value" texts each followed by a NUL, a second NUL after the last, the
// rest spaces; returns the number of characters copied (not a status).
// Store: appends "name=data" + NUL for each string value, "name=number" +
// NUL for each double word and each binary value of fewer than 3 bytes
// (decimal; a 2-byte true is 65535), skips other values, and ends the list
// as fEnumKey does.
qint32 fEnumValue(const QString& sTopKeyOrIniFile, const QString& sSubKeyOrSection, QString& sValues);

// A tolerant INI lookup, everything compared in upper case: the first
// section header that contains sSection followed by "]" or a space, and in
// it the first line that starts with sIniEntry and contains "=". Found:
// sValue becomes everything after the first "=" (upper case, trailing blanks
// removed), sSection the header's name (upper case), status 0. Otherwise
// sValue = sDefault and 99 (also when the file cannot be read).
qint32 fReadIniFuzzy(const QString& sIniFile, QString& sSection, const QString& sIniEntry, const QString& sDefault,
                     QString& sValue);
