// The module `global`: temporary file names and line splitting.
#include "wizard/settings/global.h"

#include "wizard/errors/errortrap.h"
#include "wizard/forms/frmerrorhand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Points TMPDIR at a fresh folder for one test and puts it back afterwards.
class TempFolderTest : public testing::Test {
protected:
    TempFolderTest() : mPrevious(qgetenv("TMPDIR")), mHadPrevious(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", QFile::encodeName(mFolder.path()));
    }
    ~TempFolderTest() override
    {
        if (mHadPrevious)
            qputenv("TMPDIR", mPrevious);
        else
            qunsetenv("TMPDIR");
    }

    QTemporaryDir mFolder;
    QByteArray mPrevious;
    bool mHadPrevious;
};

using GetATempFileName = TempFolderTest;

// The report form is process-wide: each test starts without it and closes
// it again.
class SplitLineTrap : public testing::Test {
protected:
    SplitLineTrap() { closeReportForm(); }
    ~SplitLineTrap() override { closeReportForm(); }

    static void closeReportForm()
    {
        if (frmErrorHand::isLoaded())
            frmErrorHand::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        errorShown = false;
    }
};

}  // namespace

TEST_F(GetATempFileName, TwoCallsGiveTwoDifferentExistingEmptyFiles)
{
    const QString first = getATempFileName();
    const QString second = getATempFileName();
    EXPECT_NE(first, second);
    for (const QString& path : {first, second}) {
        const QFileInfo info(path);
        EXPECT_TRUE(info.isFile()) << path.toStdString();
        EXPECT_EQ(info.size(), 0) << path.toStdString();
    }
}

TEST_F(GetATempFileName, TheFileIsNamedBwtHexNumberTmpInTheTempFolder)
{
    const QFileInfo made(getATempFileName());
    EXPECT_EQ(made.absolutePath(), QDir(mFolder.path()).absolutePath());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^bwt[0-9A-F]+\\.tmp$")).match(made.fileName()).hasMatch())
        << made.fileName().toStdString();
}

TEST_F(GetATempFileName, AMissingTempFolderGivesAnEmptyPath)
{
    qputenv("TMPDIR", QFile::encodeName(mFolder.filePath(QStringLiteral("missing"))));
    EXPECT_TRUE(getATempFileName().isEmpty());
}

struct SplitCase {
    const char* line;
    const char* separator;
    std::vector<const char*> fields;
};

static void PrintTo(const SplitCase& c, std::ostream* out) { *out << '"' << c.line << "\" at \"" << c.separator << '"'; }

class SplitLine : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLine, ReturnsTheFieldsInOrderAndTheirNumber)
{
    const SplitCase& c = GetParam();
    QStringList expected;
    for (const char* field : c.fields)
        expected << QString::fromUtf8(field);
    QStringList elements{QStringLiteral("stale"), QStringLiteral("entries")};
    EXPECT_EQ(splitLine(QString::fromUtf8(c.line), QString::fromUtf8(c.separator), elements), expected.size());
    EXPECT_EQ(elements, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SplitLine,
    testing::Values(SplitCase{"a,b,c", ",", {"a", "b", "c"}}, SplitCase{"a,,b,", ",", {"a", "", "b"}},
                    SplitCase{"", ",", {""}}, SplitCase{",", ",", {""}}, SplitCase{",,", ",", {"", ""}},
                    SplitCase{"abc", ",", {"abc"}}, SplitCase{" a , b ", ",", {" a ", " b "}},
                    SplitCase{"a; b;c; d", "; ", {"a", "b;c", "d"}}, SplitCase{"one; ", "; ", {"one"}},
                    SplitCase{"aXbxc", "x", {"aXb", "c"}},
                    SplitCase{"Mäx|Öl", "|", {"Mäx", "Öl"}}));

TEST_F(SplitLineTrap, AsManyFieldsAsTheCounterHoldsAreReturnedWithoutAReport)
{
    QStringList elements;
    // Every comma ends one field, the last one included.
    EXPECT_EQ(splitLine(QString(32767, QLatin1Char(',')), QStringLiteral(","), elements), 32767);
    EXPECT_EQ(elements.size(), 32767);
    EXPECT_FALSE(frmErrorHand::isLoaded() || errorShown);
}

TEST_F(SplitLineTrap, AnEmptySeparatorIsReportedAsOverflowOfModuleGlobal)
{
    QWidget bystander;
    bystander.show();
    QStringList elements;
    EXPECT_EQ(splitLine(QStringLiteral("a,b"), QString(), elements), 0);

    ASSERT_TRUE(frmErrorHand::isLoaded());
    const frmErrorHand& form = frmErrorHand::instance();
    EXPECT_EQ(form.errModule, QStringLiteral("global"));
    EXPECT_EQ(form.errNumber, 6);
    EXPECT_EQ(form.errDescription, QStringLiteral("Overflow"));
    EXPECT_TRUE(form.errProcedure.contains(QStringLiteral("splitLine"))) << form.errProcedure.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(errorShown);
    EXPECT_TRUE(bystander.isVisible()) << "a failure in `global` closes no window";
}

TEST_F(SplitLineTrap, MoreFieldsThanTheCounterHoldsAreReportedAsOverflow)
{
    QStringList elements;
    EXPECT_EQ(splitLine(QString(32768, QLatin1Char(',')), QStringLiteral(","), elements), 0);
    ASSERT_TRUE(frmErrorHand::isLoaded());
    EXPECT_EQ(frmErrorHand::instance().errModule, QStringLiteral("global"));
    EXPECT_EQ(frmErrorHand::instance().errNumber, 6);
}
