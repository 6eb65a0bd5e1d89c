// The settings modules: `registry` (typed values in the settings store, the
// tolerant INI lookup) and `global` (splitting a line into its fields, and the
// overflow of its 16-bit field counter reported through the error trap).
#include "common/wizardtest.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/settings/registry.h"
#include "wizard/settings/global.h"
#include "platform/services/settingsstore.h"

#include <QFile>

#include <optional>

namespace {

const QString kUser = QStringLiteral("HKCU");
const QString kDefaults = QStringLiteral("Software\\Brennlow\\Defaults");

class Registry : public testing::Test {
protected:
    QString path(const std::string& name) const { return QString::fromStdString((folder / name).string()); }
    static bool trapped() { return errorShown || frmErrorHand::isLoaded(); }
    // Writes wizard.ini into the scratch folder and returns its path.
    QString iniFile(const QByteArray& content) const
    {
        QFile file(path("wizard.ini"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path("wizard.ini");
    }
    static std::vector<uint8_t> storedBytes(const QString& name)
    {
        platform::Value value;
        platform::SettingsStore(platform::SettingsStore::defaultFile())
            .queryValue(platform::RootKey::CurrentUser, kDefaults.toStdString(), name.toStdString(), value);
        return value.data;
    }
    static qint32 write(const QString& name, const char* type, const QVariant& value)
    {
        return fWriteValue(kUser, kDefaults, name, text(type), value);
    }
    static qint32 read(const QString& name, const char* type, QVariant& value, const QVariant& fallback = text("default"))
    {
        return fReadValue(kUser, kDefaults, name, text(type), fallback, value);
    }

    TempSettings settings;
    ScratchFolder folder;
};

TEST_F(Registry, AStoreThatCannotBeOpenedIs99AndChangesNothing)
{
    QFile broken(settings.settingsFile());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(4096, 'x')) == 4096);
    broken.close();
    QVariant value;
    QString list = text("kept");
    EXPECT_EQ(fReadValue(kUser, kDefaults, text("V"), text("D"), text("dflt"), value), 99);
    EXPECT_EQ(value.toString(), text("dflt"));
    for (const qint32 status : {fWriteValue(kUser, kDefaults, text("V"), text("S"), text("x")),
                                fDeleteKey(kUser, kDefaults, text("K")), fDeleteValue(kUser, kDefaults, text("V")),
                                fEnumKey(kUser, kDefaults, list), fEnumValue(kUser, kDefaults, list)})
        EXPECT_EQ(status, 99);
    EXPECT_EQ(list, text("kept"));
    EXPECT_FALSE(trapped()) << "the registry functions never show the report form";
}

TEST_F(Registry, ValuesAreStoredInTheirTypesEncodingAndReadBack)
{
    using Bytes = std::optional<std::vector<uint8_t>>;
    const struct {
        const char* type;
        QVariant written;
        Bytes stored;
        QVariant read;  // invalid: nothing was written
    } cases[] = {
        {"S", text("/opt/bw"), std::vector<uint8_t>{'/', 'o', 'p', 't', '/', 'b', 'w', 0}, text("/opt/bw")},
        {"s", QString(), std::nullopt, QString(QLatin1String(""))},
        {"B", true, std::vector<uint8_t>{0xFF, 0xFF}, true},
        {"b", false, std::vector<uint8_t>{0, 0}, false},
        {"D", -5, std::vector<uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}, -5},
        // A double word is converted to 16 bits first.
        {"d", text(" 12 "), std::nullopt, 12}, {"D", 2.5, std::nullopt, 2}, {"D", 3.5, std::nullopt, 4},
        // What does not convert is not written, though the key is made.
        {"D", 32768, std::nullopt, {}}, {"D", text("abc"), std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.written.toString().toStdString());
        fDeleteValue(kUser, kDefaults, text("Value"));
        EXPECT_EQ(write(text("Value"), c.type, c.written), 0);
        if (c.stored) {
            EXPECT_EQ(storedBytes(text("Value")), *c.stored);
        }
        QVariant value;
        EXPECT_EQ(read(text("VALUE"), c.type, value), c.read.isValid() ? 0 : 2);
        EXPECT_EQ(value, c.read.isValid() ? c.read : QVariant(text("default")));
        if (c.read.isValid()) {
            EXPECT_EQ(value.typeId(), c.read.typeId());
        }
    }
}

TEST_F(Registry, TheTolerantIniLookupFindsSectionsAndEntriesByTheirEnds)
{
    const struct {
        const char* content;
        qint32 status;
        const char* value;
        const char* sectionAfter;
    } cases[] = {
        {"[mAiL]\nsErVeR=smtp.example.org\n", 0, "SMTP.EXAMPLE.ORG", "MAIL"},
        {"[Mailbox]\nServer=x\n", 99, "dflt", "Mail"},
        // A line without "=" is passed over; a prefix counts, and the first line wins.
        {"[Mail]\nServer\nServerName=first\nServer=second\n", 0, "FIRST", "MAIL"},
        // Another section's entry is not the section's; the value is all after the first "=", blanks trimmed.
        {"[Mail]\nPort=1\n[Other]\nServer=x\n[Mail]\n  Server = a=b  \n", 0, " A=B", "MAIL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        QString section = text("Mail"), value;
        EXPECT_EQ(fReadIniFuzzy(iniFile(c.content), section, text("Server"), text("dflt"), value), c.status);
        EXPECT_EQ(std::pair(value, section), std::pair(text(c.value), text(c.sectionAfter)));
    }
    QString section = text("Mail"), value;
    EXPECT_EQ(fReadIniFuzzy(path("absent.ini"), section, text("Server"), text("dflt"), value), 99);
    EXPECT_EQ(value, text("dflt"));
}

using SplitLine = WizardTest;

// More fields than the 16-bit counter holds, or an empty separator, are an
// overflow reported through the trap as a failure of module `global`.
TEST_F(SplitLine, ReturnsTheFieldsInOrderAndTheirNumberOrReportsAnOverflow)
{
    const std::pair<const char*, const char*> cases[] = {
        // line and separator, then the fields joined by '|'
        {"a,b,c", "a|b|c"}, {"a,,b,", "a||b"}, {"", ""}, {",", ""}, {",,", "|"}, {"abc", "abc"}, {" a , b ", " a | b "},
        {"Mäx,Öl", "Mäx|Öl"}};
    for (const auto& [line, fields] : cases) {
        QStringList elements{text("stale")};
        EXPECT_EQ(splitLine(text(line), text(","), elements), text(fields).split(u'|').size()) << line;
        EXPECT_EQ(elements, text(fields).split(u'|')) << line;
    }
    QStringList elements;
    EXPECT_EQ(splitLine(text("a; b;c; d"), text("; "), elements), 3);
    EXPECT_EQ(elements, names({"a", "b;c", "d"}));
    EXPECT_EQ(splitLine(text("aXbxc"), text("x"), elements), 2);  // case matters
    EXPECT_EQ(splitLine(QString(32767, u','), text(","), elements), 32767);  // every comma ends a field
    EXPECT_FALSE(trapped());
    QWidget bystander;
    bystander.show();
    for (const auto& [line, separator] : {std::pair{QString(32768, u','), text(",")}, std::pair{text("a,b"), QString()}}) {
        EXPECT_EQ(splitLine(line, separator, elements), 0);
        ASSERT_TRUE(frmErrorHand::isLoaded());
        const frmErrorHand& form = frmErrorHand::instance();
        EXPECT_EQ(std::tuple(form.errModule, form.errNumber, form.errDescription),
                  std::tuple(text("global"), 6, text("Overflow")));
        EXPECT_TRUE(form.errProcedure.contains(text("splitLine"))) << form.errProcedure.toStdString();
        EXPECT_TRUE(trapped());
    }
    EXPECT_TRUE(bystander.isVisible()) << "a failure in `global` closes no window";
}

}  // namespace
