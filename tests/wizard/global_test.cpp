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
        QStringList elements{text("stale")};
        EXPECT_EQ(splitLine(text(line), text(","), elements), text(fields).split(u'|').size()) << line;
        EXPECT_EQ(elements, text(fields).split(u'|')) << line;
    }
    QStringList elements;
    EXPECT_EQ(splitLine(text("a; b;c; d"), text("; "), elements), 3);
    EXPECT_EQ(elements, names({"a", "b;c", "d"}));
    EXPECT_EQ(splitLine(text("aXbxc"), text("x"), elements), 2);  // case matters
}

TEST_F(SplitLine, MoreFieldsThanTheCounterHoldsOrAnEmptySeparatorAreReportedAsOverflowOfModuleGlobal)
{
    QStringList elements;
    EXPECT_EQ(splitLine(QString(32767, u','), text(","), elements), 32767);  // every comma ends a field
    EXPECT_FALSE(trapped());
    QWidget bystander;
    bystander.show();
    for (const auto& [line, separator] : {std::pair{QString(32768, u','), text(",")}, std::pair{text("a,b"), QString()}}) {
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
