// The dimension layout step over the Design store cube: drops between the
// four lists, the rule that the measures stay in the rows, and the arrows.
#include "designsteps.h"

#include <QToolButton>

namespace {

class LayoutStep : public DesignSteps {
protected:
    void SetUp() override { openDesign(CubeModel::Store); }
    // Unselected, Background, Rows, Columns.
    void arrange(const std::array<QStringList, 4>& lists)
    {
        for (int i = 0; i < 4; ++i) {
            layout(i)->clear();
            layout(i)->addItems(lists[size_t(i)]);
        }
    }
    std::array<QStringList, 4> lists() const
    {
        return {entries(layout(0)), entries(layout(1)), entries(layout(2)), entries(layout(3))};
    }
    void focusList(int index)
    {
        QApplication::setActiveWindow(&wizard);
        layout(index)->setFocus();
        ASSERT_EQ(wizard.focusedLayoutList, index);
    }
    void arrow(int index) { wizard.butMovement[size_t(index)]->click(); }
};

TEST_F(LayoutStep, ADropMovesTheEntryAndSelectsItThereAndItsNeighbourHere)
{
    const std::array<QStringList, 4> start{{{}, names({"City", "Channel"}), names({"Measures", "Product"}), names({"Time"})}};
    const struct {
        int from;
        const char* name;
        int to;
        std::array<QStringList, 4> after;
        const char* selectedInSource;
    } cases[] = {
        {kRows, "Product", kBackground, {{{}, names({"City", "Channel", "Product"}), names({"Measures"}), names({"Time"})}}, "Measures"},
        {kBackground, "City", kUnselected, {{names({"City"}), names({"Channel"}), names({"Measures", "Product"}), names({"Time"})}}, "Channel"},
        {kBackground, "Channel", kColumns, {{{}, names({"City"}), names({"Measures", "Product"}), names({"Time", "Channel"})}}, "City"},
        {kBackground, "City", kBackground, start, "City"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        arrange(start);
        move(c.from, c.name, c.to);
        EXPECT_EQ(lists(), c.after);
        EXPECT_EQ(selected(layout(c.from)), text(c.selectedInSource));
        EXPECT_EQ(selected(layout(c.to)), text(c.name));
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(LayoutStep, TheMeasuresCannotLeaveTheRows)
{
    const std::array<QStringList, 4> start{{{}, names({"City", "Channel"}), names({"Measures", "Product"}), names({"Time"})}};
    arrange(start);
    move(kRows, "Measures", kBackground);
    EXPECT_EQ(messages.single(), (RecordedMessage{text("The Measure Member cannot be moved outside the Row"),
                                                  text("Measure Movement"), MessageIcon::Exclamation}));
    EXPECT_EQ(lists(), start);
}

TEST_F(LayoutStep, ArrowsMoveTheSelectedEntryOfTheListThatLastHadTheFocus)
{
    focusList(kBackground);
    const QStringList start = names({"Product", "City", "Channel"});
    const struct {
        const char* selected;  // "": none
        int arrow;             // 0 up, 1 down
        QStringList after;
    } cases[] = {{"City", 0, names({"City", "Product", "Channel"})}, {"City", 1, names({"Product", "Channel", "City"})},
                 {"Product", 0, start}, {"Channel", 1, start}, {"", 0, start}, {"", 1, start}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << " " << c.arrow);
        arrange({{{}, start, names({"Measures"}), names({"Time"})}});
        if (*c.selected)
            select(layout(kBackground), text(c.selected));
        arrow(c.arrow);
        EXPECT_EQ(entries(layout(kBackground)), c.after);
        if (*c.selected) {
            EXPECT_EQ(selected(layout(kBackground)), text(c.selected));
        }
    }
    EXPECT_TRUE(layout(kBackground)->hasFocus());
    // The drop gives Columns the focus: the arrows follow it.
    move(kBackground, "Product", kColumns);
    arrow(0);
    EXPECT_EQ(entries(layout(kColumns)), names({"Product", "Time"}));
}

}  // namespace
