// The module `global`: splitting a line into its fields, and the overflow
// of its 16-bit field counter reported through the error trap.
#include "common/wizardtest.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/settings/global.h"

namespace {

using SplitLine = WizardTest;

TEST_F(SplitLine, ReturnsTheFieldsInOrderAndTheirNumber)
{
    const std::pair<const char*, const char*> cases[] = {
        // line and separator, then the fields joined by '|'
        {"a,b,c", "a|b|c"}, {"a,,b,", "a||b"}, {"", ""}, {",", ""}, {",,", "|"}, {"abc", "abc"}, {" a , b ", " a | b "},
        {"Mäx,Öl", "Mäx|Öl"}};
    for (const auto& [line, fields] : cases) {
        QStringList elements{QStringLiteral("stale")};
        const QStringList expected = QString::fromUtf8(fields).split(u'|');
        EXPECT_EQ(splitLine(QString::fromUtf8(line), QStringLiteral(","), elements), expected.size()) << line;
        EXPECT_EQ(elements, expected) << line;
    }
    QStringList elements;
    EXPECT_EQ(splitLine(QStringLiteral("a; b;c; d"), QStringLiteral("; "), elements), 3);
    EXPECT_EQ(elements, (QStringList{QStringLiteral("a"), QStringLiteral("b;c"), QStringLiteral("d")}));
    EXPECT_EQ(splitLine(QStringLiteral("aXbxc"), QStringLiteral("x"), elements), 2);  // case matters
}

TEST_F(SplitLine, MoreFieldsThanTheCounterHoldsOrAnEmptySeparatorAreReportedAsOverflowOfModuleGlobal)
{
    QStringList elements;
    EXPECT_EQ(splitLine(QString(32767, u','), QStringLiteral(","), elements), 32767);  // every comma ends a field
    EXPECT_FALSE(trapped());
    QWidget bystander;
    bystander.show();
    for (const auto& [line, separator] : {std::pair{QString(32768, u','), QStringLiteral(",")},
                                          std::pair{QStringLiteral("a,b"), QString()}}) {
        EXPECT_EQ(splitLine(line, separator, elements), 0);
        ASSERT_TRUE(frmErrorHand::isLoaded());
        const frmErrorHand& form = frmErrorHand::instance();
        EXPECT_EQ(std::tuple(form.errModule, form.errNumber, form.errDescription), std::tuple(text("global"), 6, text("Overflow")));
        EXPECT_TRUE(form.errProcedure.contains(text("splitLine"))) << form.errProcedure.toStdString();
        EXPECT_TRUE(trapped());
    }
    EXPECT_TRUE(bystander.isVisible()) << "a failure in `global` closes no window";
}

}  // namespace
