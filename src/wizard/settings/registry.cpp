#include "wizard/settings/registry.h"

#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"
#include "platform/services/iniprofile.h"
#include "platform/services/settingsstore.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::RootKey;
using platform::SettingsStore;
using platform::Value;

constexpr qint32 kNothingAttempted = 99;
constexpr qint32 kIniFile = 1;
// What the registry answers for a handle that is no key; an INI file is one.
constexpr qint32 kInvalidHandle = 6;
// The buffers the lookups have always used; longer names or data end a listing.
constexpr size_t kNameBuffer = 2048;
constexpr size_t kDataBuffer = 2048;
constexpr size_t kIniTextBuffer = 255;
constexpr size_t kIniSectionBuffer = 8192;

struct RootText {
    const char* text;
    quint32 handle;
};
constexpr RootText kRoots[] = {{"HKCU", 0x80000001}, {"HKLM", 0x80000002}, {"HKU", 0x80000003},
                               {"HKDD", 0x80000006}, {"HKCC", 0x80000005}, {"HKCR", 0x80000000}};

// Runs `body`; a failure of the store or of a file ends the function with
// the status it reached, since these functions report by status and never
// pass a failure on. Anything else (out of memory, a bug) is not a status and
// goes on to the caller's error trap.
template <class Body>
void untrapped(const char* where, Body&& body)
{
    try {
        body();
    } catch (const platform::Failure& failure) {
        platform::noteIgnoredFailure(where, failure);
    }
}

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }
std::filesystem::path localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
RootKey rootKey(qint32 handle) { return static_cast<RootKey>(static_cast<quint32>(handle)); }
SettingsStore openStore() { return SettingsStore(SettingsStore::defaultFile()); }
std::string childPath(const QString& key, const QString& child) { return utf8(key + QLatin1Char('\\') + child); }

// A number from up to 4 little-endian bytes; missing high bytes are zero.
quint32 numberOf(const Value& value)
{
    quint32 number = 0;
    for (size_t i = 0; i < value.data.size() && i < 4; ++i)
        number |= quint32(value.data[i]) << (8 * i);
    return number;
}

// The text of a string value: its bytes up to the first NUL.
QString textOf(const Value& value)
{
    const auto* bytes = reinterpret_cast<const char*>(value.data.data());
    return QString::fromUtf8(bytes, qsizetype(std::find(value.data.begin(), value.data.end(), 0) - value.data.begin()));
}

[[noreturn]] void failConversion(int32_t number)
{
    throw platform::Failure(number, std::string(platform::runtimeDescription(number)));
}

// A variant as text, with booleans spelled as users of these settings expect.
QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

bool booleanOf(const QVariant& value)
{
    if (!value.isValid() || value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok)
        failConversion(platform::err::kTypeMismatch);
    return number != 0;
}

// The value as a 16-bit integer: rounded half to even, true is -1; Overflow
// outside -32768..32767, Type mismatch for text that is no number.
qint16 integer16Of(const QVariant& value)
{
    if (!value.isValid())
        return 0;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok)
                                                               : value.toDouble(&ok);
    if (!ok)
        failConversion(platform::err::kTypeMismatch);
    const double rounded = std::nearbyint(number);
    if (!(rounded >= -32768 && rounded <= 32767))
        failConversion(platform::err::kOverflow);
    return static_cast<qint16>(rounded);
}

void readIniValue(const QString& file, const QString& section, const QString& name, const QString& type,
                  const QVariant& vDefault, QVariant& vValue)
{
    if (type == QLatin1String("S")) {
        vValue = QString::fromStdString(platform::readProfileString(localPath(file), utf8(section), utf8(name),
                                                                    utf8(textOf(vDefault)), kIniTextBuffer));
    } else {
        vValue = qint32(platform::readProfileInt(localPath(file), utf8(section), utf8(name), 0));
    }
}

void readStoreValue(RootKey root, const std::string& path, const std::string& name, const QString& type,
                    QVariant& vValue, qint32& status)
{
    SettingsStore store = openStore();
    status = store.openKey(root, path);
    if (status != platform::status::kSuccess)
        return;
    Value value;
    if (type == QLatin1String("S")) {
        if ((status = store.queryValue(root, path, name, value)) == platform::status::kSuccess)
            vValue = textOf(value);
    } else if (type == QLatin1String("B")) {
        if ((status = store.queryValue(root, path, name, value, 2)) == platform::status::kSuccess)
            vValue = numberOf(value) != 0;
    } else if (type == QLatin1String("D")) {
        if ((status = store.queryValue(root, path, name, value, 4)) == platform::status::kSuccess)
            vValue = static_cast<qint32>(numberOf(value));
    }
}

// The value to store for `type`; nothing for a type that writes nothing.
std::optional<Value> storedValue(const QString& type, const QVariant& vValue)
{
    if (type == QLatin1String("S"))
        return Value::fromString(utf8(textOf(vValue)));
    if (type == QLatin1String("B"))
        return Value::fromBinary(booleanOf(vValue) ? std::vector<uint8_t>{0xFF, 0xFF} : std::vector<uint8_t>{0, 0});
    if (type == QLatin1String("D"))
        return Value::fromDWord(static_cast<quint32>(static_cast<qint32>(integer16Of(vValue))));
    return std::nullopt;
}

void writeStoreValue(RootKey root, const std::string& path, const std::string& name, const QString& type,
                     const QVariant& vValue, qint32& status)
{
    SettingsStore store = openStore();
    status = store.createKey(root, path);
    if (status != platform::status::kSuccess)
        return;
    if (const std::optional<Value> value = storedValue(type, vValue))
        status = store.setValue(root, path, name, *value);
}

// Ends a NUL-separated list: one more NUL, and an empty list is two.
void endList(QString& sValues)
{
    sValues += QChar(0);
    if (sValues.size() == 1)
        sValues += QChar(0);
}

// One "name=data" entry of fEnumValue; an empty text for a value it skips.
// Nothing when the value cannot be read: a double word larger than the 4
// bytes it is read into sets `status` to More data.
std::optional<QString> listedValue(const std::string& name, const Value& value, qint32& status)
{
    const QString prefix = QString::fromStdString(name) + QLatin1Char('=');
    if (value.type == platform::valuetype::kString) {
        return prefix + textOf(value) + QChar(0);
    }
    if (value.type == platform::valuetype::kDWord && value.data.size() > 4) {
        status = platform::status::kMoreData;
        return std::nullopt;
    }
    if (value.type == platform::valuetype::kDWord)
        return prefix + QString::number(static_cast<qint32>(numberOf(value))) + QChar(0);
    if (value.type == platform::valuetype::kBinary && value.data.size() < 3)
        return prefix + QString::number(numberOf(value)) + QChar(0);
    return QString();
}

void enumStoreValues(RootKey root, const std::string& path, QString& sValues, qint32& status)
{
    SettingsStore store = openStore();
    if ((status = store.openKey(root, path)) != platform::status::kSuccess)
        return;
    std::string name;
    Value value;
    for (uint32_t index = 0; store.enumValue(root, path, index, name, value) == platform::status::kSuccess; ++index) {
        if (name.size() >= kNameBuffer || value.data.size() > kDataBuffer)
            break;
        const std::optional<QString> entry = listedValue(name, value, status);
        if (!entry)
            return;
        sValues += *entry;
    }
    endList(sValues);
}

// Whether an upper-case trimmed line is a header of `section`: it starts
// with "[" and the first occurrence of the name is followed by "]" or a space.
bool isWantedHeader(const QString& line, const QString& section)
{
    if (!line.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype at = line.indexOf(section);
    const qsizetype after = at + section.size();
    return at >= 0 && after < line.size() && (line.at(after) == QLatin1Char(']') || line.at(after) == QLatin1Char(' '));
}

}  // namespace

qint32 fTopKey(const QString& sTopKeyOrFile)
{
    const QString upper = sTopKeyOrFile.toUpper();
    for (const RootText& root : kRoots) {
        if (upper == QLatin1String(root.text))
            return static_cast<qint32>(root.handle);
    }
    return !sTopKeyOrFile.isEmpty() && QFileInfo(sTopKeyOrFile).isFile() ? kIniFile : 0;
}

qint32 fReadValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName,
                  const QString& sValueType, const QVariant& vDefault, QVariant& vValue)
{
    qint32 status = kNothingAttempted;
    vValue = vDefault;
    untrapped("fReadValue", [&] {
        const qint32 root = fTopKey(sTopKeyOrFile);
        const QString type = sValueType.toUpper();
        if (root == kIniFile) {
            readIniValue(sTopKeyOrFile, sSubKeyOrSection, sValueName, type, vDefault, vValue);
            status = platform::status::kSuccess;
        } else if (root != 0) {
            readStoreValue(rootKey(root), utf8(sSubKeyOrSection), utf8(sValueName), type, vValue, status);
        }
    });
    return status;
}

qint32 fWriteValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName,
                   const QString& sValueType, const QVariant& vValue)
{
    qint32 status = kNothingAttempted;
    untrapped("fWriteValue", [&] {
        const qint32 root = fTopKey(sTopKeyOrFile);
        const QString type = sValueType.toUpper();
        if (root == kIniFile && type == QLatin1String("S")) {
            const bool written = platform::writeProfileString(localPath(sTopKeyOrFile), utf8(sSubKeyOrSection),
                                                              utf8(sValueName), utf8(textOf(vValue)));
            status = written ? 1 : 0;
        } else if (root != kIniFile && root != 0) {
            writeStoreValue(rootKey(root), utf8(sSubKeyOrSection), utf8(sValueName), type, vValue, status);
        }
    });
    return status;
}

qint32 fDeleteKey(const QString& sTopKey, const QString& sSubKey, const QString& sKeyName)
{
    qint32 status = kNothingAttempted;
    untrapped("fDeleteKey", [&] {
        const qint32 root = fTopKey(sTopKey);
        if (root == 0)
            return;
        if (root == kIniFile) {
            status = kInvalidHandle;
            return;
        }
        SettingsStore store = openStore();
        status = store.openKey(rootKey(root), utf8(sSubKey));
        if (status == platform::status::kSuccess)
            status = store.deleteKey(rootKey(root), childPath(sSubKey, sKeyName));
        if (status == platform::status::kNotFound)
            status = platform::status::kSuccess;
    });
    return status;
}

qint32 fDeleteValue(const QString& sTopKeyOrFile, const QString& sSubKeyOrSection, const QString& sValueName)
{
    qint32 status = kNothingAttempted;
    untrapped("fDeleteValue", [&] {
        const qint32 root = fTopKey(sTopKeyOrFile);
        if (root == kIniFile) {
            const bool written = platform::writeProfileString(localPath(sTopKeyOrFile), utf8(sSubKeyOrSection),
                                                              utf8(sValueName), std::string_view());
            status = written ? 1 : 0;
            return;
        }
        if (root == 0)
            return;
        SettingsStore store = openStore();
        status = store.openKey(rootKey(root), utf8(sSubKeyOrSection));
        if (status == platform::status::kSuccess)
            status = store.deleteValue(rootKey(root), utf8(sSubKeyOrSection), utf8(sValueName));
        if (status == platform::status::kNotFound)
            status = platform::status::kSuccess;
    });
    return status;
}

qint32 fEnumKey(const QString& sTopKey, const QString& sSubKey, QString& sValues)
{
    qint32 status = kNothingAttempted;
    untrapped("fEnumKey", [&] {
        const qint32 root = fTopKey(sTopKey);
        if (root == 0)
            return;
        if (root == kIniFile) {
            status = kInvalidHandle;
            return;
        }
        SettingsStore store = openStore();
        const std::string path = utf8(sSubKey);
        if ((status = store.openKey(rootKey(root), path)) != platform::status::kSuccess)
            return;
        std::string name;
        for (uint32_t index = 0; store.enumKey(rootKey(root), path, index, name) == platform::status::kSuccess
                                 && name.size() < kNameBuffer;
             ++index) {
            sValues += QString::fromStdString(name) + QChar(0);
        }
        endList(sValues);
    });
    return status;
}

qint32 fEnumValue(const QString& sTopKeyOrIniFile, const QString& sSubKeyOrSection, QString& sValues)
{
    qint32 status = kNothingAttempted;
    untrapped("fEnumValue", [&] {
        const qint32 root = fTopKey(sTopKeyOrIniFile);
        if (root == kIniFile) {
            std::string buffer(kIniSectionBuffer, ' ');
            const size_t copied =
                platform::readProfileSection(localPath(sTopKeyOrIniFile), utf8(sSubKeyOrSection), buffer);
            // Counted in characters, not UTF-8 bytes, so that the count and
            // the padding match the text the caller sees.
            status = static_cast<qint32>(QString::fromUtf8(buffer.data(), qsizetype(copied)).size());
            sValues = QString::fromStdString(buffer).leftJustified(qsizetype(kIniSectionBuffer), QLatin1Char(' '));
        } else if (root != 0) {
            enumStoreValues(rootKey(root), utf8(sSubKeyOrSection), sValues, status);
        }
    });
    return status;
}

qint32 fReadIniFuzzy(const QString& sIniFile, QString& sSection, const QString& sIniEntry, const QString& sDefault,
                     QString& sValue)
{
    qint32 status = kNothingAttempted;
    sValue = sDefault;
    untrapped("fReadIniFuzzy", [&] {
        const QString section = sSection.toUpper();
        const QString entry = sIniEntry.toUpper();
        QFile file(sIniFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return;
        QString header;   // the matching header we are in; empty outside one
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed().toUpper();
            if (line.startsWith(QLatin1Char('['))) {
                header = isWantedHeader(line, section) ? line : QString();
            } else if (!header.isEmpty() && line.startsWith(entry) && line.contains(QLatin1Char('='))) {
                sValue = line.mid(line.indexOf(QLatin1Char('=')) + 1);
                const qsizetype close = header.indexOf(QLatin1Char(']'));
                sSection = header.mid(1, close < 0 ? -1 : close - 1);
                status = platform::status::kSuccess;
                return;
            }
        }
    });
    return status;
}
