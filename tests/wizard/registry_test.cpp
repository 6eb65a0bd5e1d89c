// The module `registry`: settings in the settings store and in INI files.
#include "wizard/settings/registry.h"

#include "wizard/errors/errortrap.h"
#include "wizard/forms/frmerrorhand.h"
#include "platform/services/settingsstore.h"
#include "support/tempsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QString kUser = QStringLiteral("HKCU");
const QString kDefaults = QStringLiteral("Software\\Brennlow\\Defaults");
const QChar kNul(0);

QString nuls(const char* text, qsizetype length) { return QString::fromLatin1(text, length); }

class RegistryTest : public testing::Test {
protected:
    // Starts without a report form, so that a test can tell that none was shown.
    RegistryTest()
    {
        if (frmErrorHand::isLoaded())
            frmErrorHand::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        errorShown = false;
    }

    // Writes an INI file into the test's folder and returns its path.
    QString iniFile(const QByteArray& content, const QString& name = QStringLiteral("wizard.ini")) const
    {
        const QString path = mFolder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The raw bytes the store holds for a value under HKCU.
    static std::vector<uint8_t> storedBytes(const QString& key, const QString& name)
    {
        platform::SettingsStore store(platform::SettingsStore::defaultFile());
        platform::Value value;
        store.queryValue(platform::RootKey::CurrentUser, key.toStdString(), name.toStdString(), value);
        return value.data;
    }
    static void storeRaw(const QString& key, const QString& name, const platform::Value& value)
    {
        platform::SettingsStore store(platform::SettingsStore::defaultFile());
        store.createKey(platform::RootKey::CurrentUser, key.toStdString());
        store.setValue(platform::RootKey::CurrentUser, key.toStdString(), name.toStdString(), value);
    }
    static qint32 read(const QString& name, const QString& type, QVariant& value,
                       const QVariant& fallback = QStringLiteral("default"))
    {
        return fReadValue(kUser, kDefaults, name, type, fallback, value);
    }

    TempSettings mSettings;
    QTemporaryDir mFolder;
};

}  // namespace

// --- Root keys --------------------------------------------------------------

struct RootCase {
    const char* text;
    quint32 handle;
};

static void PrintTo(const RootCase& c, std::ostream* out) { *out << c.text; }

class RegistryRootKey : public RegistryTest, public testing::WithParamInterface<RootCase> {};

TEST_P(RegistryRootKey, IsRecognisedInAnyLetterCase)
{
    const QString text = QString::fromLatin1(GetParam().text);
    for (const QString& spelling : {text, text.toLower(), text.left(1) + text.mid(1).toLower()})
        EXPECT_EQ(fTopKey(spelling), qint32(GetParam().handle)) << spelling.toStdString();
}

INSTANTIATE_TEST_SUITE_P(SixRoots, RegistryRootKey,
                         testing::Values(RootCase{"HKCU", 0x80000001}, RootCase{"HKLM", 0x80000002},
                                         RootCase{"HKU", 0x80000003}, RootCase{"HKDD", 0x80000006},
                                         RootCase{"HKCC", 0x80000005}, RootCase{"HKCR", 0x80000000}));

TEST_F(RegistryTest, TopKeyOfAnExistingFileIsOneAndOfAnythingElseZero)
{
    EXPECT_EQ(fTopKey(iniFile("[S]\n")), 1);
    EXPECT_EQ(fTopKey(mFolder.filePath(QStringLiteral("absent.ini"))), 0);
    EXPECT_EQ(fTopKey(mFolder.path()), 0) << "a folder is no file";
    EXPECT_EQ(fTopKey(QStringLiteral("HKEY_CURRENT_USER")), 0);
    EXPECT_EQ(fTopKey(QString()), 0);
}

TEST_F(RegistryTest, AnUnknownRootNamingNoFileAttemptsNothing)
{
    const QString nowhere = QStringLiteral("HKXX");
    QVariant value;
    QString list = QStringLiteral("kept");
    EXPECT_EQ(fReadValue(nowhere, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("dflt"), value), 99);
    EXPECT_EQ(value.toString(), QStringLiteral("dflt"));
    EXPECT_EQ(fWriteValue(nowhere, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x")), 99);
    EXPECT_EQ(fDeleteKey(nowhere, kDefaults, QStringLiteral("K")), 99);
    EXPECT_EQ(fDeleteValue(nowhere, kDefaults, QStringLiteral("V")), 99);
    EXPECT_EQ(fEnumKey(nowhere, kDefaults, list), 99);
    EXPECT_EQ(fEnumValue(nowhere, kDefaults, list), 99);
    EXPECT_EQ(list, QStringLiteral("kept"));
    EXPECT_FALSE(QFile::exists(mSettings.settingsFile())) << "the settings store was touched";
}

// --- Reading and writing the store -------------------------------------------

TEST_F(RegistryTest, AMissingValueIsNotFoundAndLeavesTheDefault)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("Other"), QStringLiteral("S"), QStringLiteral("x"));
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("Installed"), QStringLiteral("S"), value), 2);
    EXPECT_EQ(value.toString(), QStringLiteral("default"));
}

TEST_F(RegistryTest, AMissingKeyIsNotFoundAndLeavesTheDefault)
{
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("Installed"), QStringLiteral("D"), value, 17), 2);
    EXPECT_EQ(value.toInt(), 17);
}

TEST_F(RegistryTest, AStringIsStoredWithItsNulAndReadBackWithout)
{
    EXPECT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("Installed"), QStringLiteral("S"), QStringLiteral("/opt/bw")),
              0);
    EXPECT_EQ(storedBytes(kDefaults, QStringLiteral("Installed")),
              (std::vector<uint8_t>{'/', 'o', 'p', 't', '/', 'b', 'w', 0}));
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("INSTALLED"), QStringLiteral("s"), value), 0);
    EXPECT_EQ(value.toString(), QStringLiteral("/opt/bw"));
}

TEST_F(RegistryTest, AnEmptyStringReadsBackEmptyWithStatusZero)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("ApplicationDir"), QStringLiteral("S"), QString());
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("ApplicationDir"), QStringLiteral("S"), value), 0);
    EXPECT_EQ(value.typeId(), QMetaType::QString);
    EXPECT_EQ(value.toString(), QString());
}

TEST_F(RegistryTest, TheKeyPathIsFoundInAnyCaseAndWithEitherSeparator)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("Installed"), QStringLiteral("S"), QStringLiteral("/opt/bw"));
    QVariant value;
    EXPECT_EQ(fReadValue(QStringLiteral("hkcu"), QStringLiteral("software/BRENNLOW/defaults"), QStringLiteral("installed"),
                         QStringLiteral("S"), QString(), value),
              0);
    EXPECT_EQ(value.toString(), QStringLiteral("/opt/bw"));
}

TEST_F(RegistryTest, ABooleanIsTwoBytesWithAllBitsSetForTrue)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("Yes"), QStringLiteral("B"), true);
    fWriteValue(kUser, kDefaults, QStringLiteral("No"), QStringLiteral("b"), false);
    EXPECT_EQ(storedBytes(kDefaults, QStringLiteral("Yes")), (std::vector<uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(storedBytes(kDefaults, QStringLiteral("No")), (std::vector<uint8_t>{0, 0}));
    QVariant yes, no;
    EXPECT_EQ(read(QStringLiteral("Yes"), QStringLiteral("B"), yes), 0);
    EXPECT_EQ(read(QStringLiteral("No"), QStringLiteral("B"), no), 0);
    EXPECT_EQ(yes, QVariant(true));
    EXPECT_EQ(no, QVariant(false));
}

TEST_F(RegistryTest, ADoubleWordIsWrittenSignExtendedAndReadAs32Bits)
{
    EXPECT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("Count"), QStringLiteral("D"), -5), 0);
    EXPECT_EQ(storedBytes(kDefaults, QStringLiteral("Count")), (std::vector<uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("Count"), QStringLiteral("d"), value), 0);
    EXPECT_EQ(value.typeId(), QMetaType::Int);
    EXPECT_EQ(value.toInt(), -5);
}

struct DWordCase {
    QVariant written;
    qint32 stored;
};

static void PrintTo(const DWordCase& c, std::ostream* out) { *out << c.written.toString().toStdString() << " -> " << c.stored; }

class RegistryDWordWrite : public RegistryTest, public testing::WithParamInterface<DWordCase> {};

TEST_P(RegistryDWordWrite, ConvertsTheValueTo16BitsFirst)
{
    ASSERT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("N"), QStringLiteral("D"), GetParam().written), 0);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("N"), QStringLiteral("D"), value), 0);
    EXPECT_EQ(value.toInt(), GetParam().stored) << GetParam().written.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryDWordWrite,
    testing::Values(DWordCase{32767, 32767}, DWordCase{-32768, -32768}, DWordCase{QStringLiteral(" 12 "), 12},
                    DWordCase{2.5, 2}, DWordCase{3.5, 4}, DWordCase{true, -1}, DWordCase{QVariant(), 0}));

class RegistryDWordRefused : public RegistryTest, public testing::WithParamInterface<QVariant> {};

static void PrintTo(const QVariant& value, std::ostream* out) { *out << value.toString().toStdString(); }

TEST_P(RegistryDWordRefused, WritesNothingAndReturnsTheStatusOfTheOpenedKey)
{
    EXPECT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("N"), QStringLiteral("D"), GetParam()), 0);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("N"), QStringLiteral("D"), value), 2) << "a value was written";
    QString keys;
    EXPECT_EQ(fEnumKey(kUser, QStringLiteral("Software\\Brennlow"), keys), 0);
    EXPECT_EQ(keys, nuls("Defaults\0\0", 10)) << "the key was created before the conversion failed";
    EXPECT_FALSE(frmErrorHand::isLoaded() || errorShown) << "the registry functions never show the report form";
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryDWordRefused,
                         testing::Values(QVariant(40000), QVariant(-32769), QVariant(QStringLiteral("abc")),
                                         QVariant(QStringLiteral("70000"))));

TEST_F(RegistryTest, AnUnknownTypeReadsAndWritesNothing)
{
    EXPECT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("X"), QStringLiteral("Q"), 5), 0);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("X"), QStringLiteral("S"), value), 2);
    EXPECT_EQ(read(QStringLiteral("X"), QStringLiteral("Q"), value), 0);
    EXPECT_EQ(value.toString(), QStringLiteral("default"));
}

TEST_F(RegistryTest, ReadingTwoBytesOfALongerValueIsMoreData)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("Count"), QStringLiteral("D"), 7);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("Count"), QStringLiteral("B"), value), 234);
    EXPECT_EQ(value.toString(), QStringLiteral("default"));
}

TEST_F(RegistryTest, AStoreThatCannotBeOpenedEndsTheFunctionQuietly)
{
    QFile broken(mSettings.settingsFile());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(4096, 'x'));
    broken.close();
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("Installed"), QStringLiteral("S"), value), 99);
    EXPECT_EQ(value.toString(), QStringLiteral("default"));
    EXPECT_EQ(fWriteValue(kUser, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x")), 99);
    EXPECT_FALSE(frmErrorHand::isLoaded() || errorShown);
}

// --- Deleting -----------------------------------------------------------------

TEST_F(RegistryTest, DeletingWhatIsAbsentSucceeds)
{
    EXPECT_EQ(fDeleteKey(kUser, QStringLiteral("Software\\Nobody"), QStringLiteral("Nothing")), 0);
    fWriteValue(kUser, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x"));
    EXPECT_EQ(fDeleteKey(kUser, kDefaults, QStringLiteral("Nothing")), 0);
    EXPECT_EQ(fDeleteValue(kUser, kDefaults, QStringLiteral("Nothing")), 0);
    EXPECT_EQ(fDeleteValue(kUser, QStringLiteral("Software\\Nobody"), QStringLiteral("V")), 0);
}

TEST_F(RegistryTest, DeletingAKeyRemovesItAndItsValues)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x"));
    EXPECT_EQ(fDeleteKey(kUser, QStringLiteral("Software\\Brennlow"), QStringLiteral("defaults")), 0);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("V"), QStringLiteral("S"), value), 2);
    QString keys;
    fEnumKey(kUser, QStringLiteral("Software\\Brennlow"), keys);
    EXPECT_EQ(keys, nuls("\0\0", 2));
}

TEST_F(RegistryTest, DeletingAKeyThatHasSubkeysIsAccessDenied)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x"));
    EXPECT_EQ(fDeleteKey(kUser, QStringLiteral("Software"), QStringLiteral("Brennlow")), 5);
}

TEST_F(RegistryTest, DeletingAValueRemovesOnlyThatValue)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("1"));
    fWriteValue(kUser, kDefaults, QStringLiteral("B"), QStringLiteral("S"), QStringLiteral("2"));
    EXPECT_EQ(fDeleteValue(kUser, kDefaults, QStringLiteral("a")), 0);
    QVariant value;
    EXPECT_EQ(read(QStringLiteral("A"), QStringLiteral("S"), value), 2);
    EXPECT_EQ(read(QStringLiteral("B"), QStringLiteral("S"), value), 0);
}

// --- Listing ------------------------------------------------------------------

TEST_F(RegistryTest, AKeyWithoutSubkeysListsAsTwoNuls)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x"));
    QString keys;
    EXPECT_EQ(fEnumKey(kUser, kDefaults, keys), 0);
    EXPECT_EQ(keys, nuls("\0\0", 2));
}

TEST_F(RegistryTest, SubkeysListAsNamesEachEndedByANulAndOneMoreNul)
{
    for (const char* child : {"Zeta", "alpha", "Beta"})
        fWriteValue(kUser, kDefaults + QLatin1Char('\\') + QLatin1String(child), QStringLiteral("V"), QStringLiteral("S"),
                    QStringLiteral("x"));
    QString keys;
    EXPECT_EQ(fEnumKey(kUser, kDefaults, keys), 0);
    EXPECT_EQ(keys, nuls("alpha\0Beta\0Zeta\0\0", 17));
}

TEST_F(RegistryTest, ListingTheSubkeysOfAMissingKeyIsNotFoundAndAddsNothing)
{
    QString keys;
    EXPECT_EQ(fEnumKey(kUser, QStringLiteral("Software\\Nobody"), keys), 2);
    EXPECT_TRUE(keys.isEmpty());
}

TEST_F(RegistryTest, ValuesListAsNameEqualsDataEachEndedByANul)
{
    fWriteValue(kUser, kDefaults, QStringLiteral("Installed"), QStringLiteral("S"), QStringLiteral("/opt/bw"));
    fWriteValue(kUser, kDefaults, QStringLiteral("Count"), QStringLiteral("D"), -5);
    fWriteValue(kUser, kDefaults, QStringLiteral("Flag"), QStringLiteral("B"), true);
    storeRaw(kDefaults, QStringLiteral("Blob"), platform::Value::fromBinary({1, 2, 3, 4}));
    storeRaw(kDefaults, QStringLiteral("Short"), platform::Value::fromBinary({7}));
    QString values;
    EXPECT_EQ(fEnumValue(kUser, kDefaults, values), 0);
    EXPECT_EQ(values, nuls("Installed=/opt/bw\0Count=-5\0Flag=65535\0Short=7\0\0", 47));
}

TEST_F(RegistryTest, AKeyWithoutValuesListsAsTwoNuls)
{
    fWriteValue(kUser, kDefaults + QStringLiteral("\\Child"), QStringLiteral("V"), QStringLiteral("S"), QStringLiteral("x"));
    QString values;
    EXPECT_EQ(fEnumValue(kUser, kDefaults, values), 0);
    EXPECT_EQ(values, nuls("\0\0", 2));
}

// --- INI files ----------------------------------------------------------------

TEST_F(RegistryTest, ReadingFromAnIniFileReadsTheEntry)
{
    const QString ini = iniFile("[Defaults]\r\nInstalled = /opt/bw \r\nCount=42\r\n");
    QVariant text, number, missing;
    EXPECT_EQ(fReadValue(ini, QStringLiteral("defaults"), QStringLiteral("INSTALLED"), QStringLiteral("S"), QString(), text), 0);
    EXPECT_EQ(text.toString(), QStringLiteral("/opt/bw"));
    EXPECT_EQ(fReadValue(ini, QStringLiteral("Defaults"), QStringLiteral("Count"), QStringLiteral("D"), 0, number), 0);
    EXPECT_EQ(number.toInt(), 42);
    EXPECT_EQ(fReadValue(ini, QStringLiteral("Defaults"), QStringLiteral("None"), QStringLiteral("S"),
                         QStringLiteral("fallback"), missing),
              0);
    EXPECT_EQ(missing.toString(), QStringLiteral("fallback"));
}

TEST_F(RegistryTest, WritingTextToAnIniFileReturnsNonzero)
{
    const QString ini = iniFile("[Defaults]\nInstalled=/old\n; keep me\n");
    EXPECT_NE(fWriteValue(ini, QStringLiteral("Defaults"), QStringLiteral("Installed"), QStringLiteral("S"),
                          QStringLiteral("/new")),
              0);
    EXPECT_EQ(contentOf(ini), QByteArray("[Defaults]\nInstalled=/new\n; keep me\n"));
}

TEST_F(RegistryTest, WritingOtherTypesToAnIniFileAttemptsNothing)
{
    const QString ini = iniFile("[Defaults]\n");
    EXPECT_EQ(fWriteValue(ini, QStringLiteral("Defaults"), QStringLiteral("N"), QStringLiteral("D"), 5), 99);
    EXPECT_EQ(contentOf(ini), QByteArray("[Defaults]\n"));
}

TEST_F(RegistryTest, DeletingAnIniValueKeepsTheEntryLineEmpty)
{
    const QString ini = iniFile("[Defaults]\nInstalled=/opt/bw\n");
    EXPECT_NE(fDeleteValue(ini, QStringLiteral("Defaults"), QStringLiteral("Installed")), 0);
    EXPECT_EQ(contentOf(ini), QByteArray("[Defaults]\nInstalled=\n"));
}

TEST_F(RegistryTest, KeyFunctionsGivenAnIniFileReportAnInvalidHandle)
{
    const QString ini = iniFile("[Defaults]\n[Defaults\\Sub]\n");
    QString list;
    EXPECT_EQ(fDeleteKey(ini, QStringLiteral("Defaults"), QStringLiteral("Sub")), 6);
    EXPECT_EQ(fEnumKey(ini, QStringLiteral("Defaults"), list), 6);
    EXPECT_EQ(contentOf(ini), QByteArray("[Defaults]\n[Defaults\\Sub]\n"));
}

TEST_F(RegistryTest, AnIniSectionListsInto8192CharactersAndReturnsTheCount)
{
    const QString ini = iniFile("[Defaults]\nInstalled=/opt/bw\nCount = 42\n[Other]\nX=1\n");
    QString values;
    EXPECT_EQ(fEnumValue(ini, QStringLiteral("defaults"), values), 27);
    ASSERT_EQ(values.size(), 8192);
    EXPECT_EQ(values.left(28), nuls("Installed=/opt/bw\0Count=42\0\0", 28));
    EXPECT_EQ(values.mid(28), QString(8192 - 28, QLatin1Char(' ')));
}

TEST_F(RegistryTest, AnIniSectionWithNonAsciiTextCountsCharacters)
{
    const QString ini = iniFile("[Defaults]\nOrt=K\xC3\xB6ln\n");
    QString values;
    EXPECT_EQ(fEnumValue(ini, QStringLiteral("Defaults"), values), 9);
    ASSERT_EQ(values.size(), 8192);
    EXPECT_EQ(values.left(10), QStringLiteral("Ort=K\u00F6ln") + kNul + kNul);
}

// --- Tolerant INI lookup -------------------------------------------------------

struct FuzzyCase {
    const char* name;
    const char* content;
    const char* section;
    const char* entry;
    qint32 status;
    const char* value;
    const char* sectionAfter;
};

static void PrintTo(const FuzzyCase& c, std::ostream* out) { *out << c.name; }

class RegistryFuzzyIni : public RegistryTest, public testing::WithParamInterface<FuzzyCase> {};

TEST_P(RegistryFuzzyIni, FindsTheEntry)
{
    const FuzzyCase& c = GetParam();
    const QString ini = iniFile(c.content);
    QString section = QString::fromLatin1(c.section);
    QString value;
    EXPECT_EQ(fReadIniFuzzy(ini, section, QString::fromLatin1(c.entry), QStringLiteral("dflt"), value), c.status);
    EXPECT_EQ(value, QString::fromLatin1(c.value));
    EXPECT_EQ(section, QString::fromLatin1(c.sectionAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryFuzzyIni,
    testing::Values(
        FuzzyCase{"ExactHeaderAndEntry", "[Mail]\nServer=smtp.example.org\n", "Mail", "Server", 0, "SMTP.EXAMPLE.ORG", "MAIL"},
        FuzzyCase{"SpaceBeforeTheClosingBracket", "[Mail ]\nServer=a\n", "Mail", "Server", 0, "A", "MAIL "},
        FuzzyCase{"AnyLetterCase", "[mAiL]\nsErVeR=MixedCase\n", "MAIL", "server", 0, "MIXEDCASE", "MAIL"},
        FuzzyCase{"EntryNamePrefixFirstLineWins", "[Mail]\nServerName=first\nServer=second\n", "Mail", "Server", 0,
                  "FIRST", "MAIL"},
        FuzzyCase{"HeaderEndingInTheName", "[OutMail]\nServer=x\n", "Mail", "Server", 0, "X", "OUTMAIL"},
        FuzzyCase{"LongerHeaderNameIsNoMatch", "[Mailbox]\nServer=x\n", "Mail", "Server", 99, "dflt", "Mail"},
        FuzzyCase{"EntryOfAnotherSection", "[Mail]\nPort=25\n[Other]\nServer=x\n", "Mail", "Server", 99, "dflt", "Mail"},
        FuzzyCase{"LineWithoutEquals", "[Mail]\nServer\nServer2=y\n", "Mail", "Server", 0, "Y", "MAIL"},
        FuzzyCase{"EverythingAfterTheFirstEquals", "[Mail]\n  Server = a=b  \n", "Mail", "Server", 0, " A=B", "MAIL"},
        FuzzyCase{"LaterMatchingSection", "[Mail]\nPort=1\n[Other]\n[Mail]\nServer=z\n", "Mail", "Server", 0, "Z", "MAIL"},
        FuzzyCase{"CrLfLines", "[Mail]\r\nServer=crlf\r\n", "Mail", "Server", 0, "CRLF", "MAIL"}),
    [](const testing::TestParamInfo<FuzzyCase>& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, TolerantLookupInAMissingFileGivesTheDefault)
{
    QString section = QStringLiteral("Mail");
    QString value;
    EXPECT_EQ(fReadIniFuzzy(mFolder.filePath(QStringLiteral("absent.ini")), section, QStringLiteral("Server"),
                            QStringLiteral("dflt"), value),
              99);
    EXPECT_EQ(value, QStringLiteral("dflt"));
    EXPECT_EQ(section, QStringLiteral("Mail"));
}
