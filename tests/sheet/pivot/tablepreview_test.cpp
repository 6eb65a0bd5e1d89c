// A table's preview: its first rows as drawn on its sheet (wherever the
// table starts), the texts under their number formats, the widths AutoFit
// gives the rows shown, and the whole table's size.
#include "pivottestsupport.h"

#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/host/tablepreview.h"
#include "sheet/pivotfield.h"

using namespace sheet;
using namespace pivottest;

namespace {

TEST(TablePreview, ShowsTheFirstRowsAsDrawnWithTheirTextsAndTheWholeSize)
{
    ScratchFolder folder;
    writeShopCube(folder / "shop.cub");
    ShopTable shop = makeShopTable(folder / "shop.cub", "C4");
    shop.table->Format(kTableFormat13);
    shop.place("[Time]", kRowField);
    shop.place("[Measures].[Sales]", kDataField);

    // Sales by year: the caption, the field names, 2023, 2024, the grand total.
    const struct {
        int32_t asked;
        int32_t shownRows;
        std::vector<std::string> texts;  // row by row, "|" between cells
    } cases[] = {
        {100, 5, {"Sales|", "Year|Total", "2023|22.50", "2024|21.25", "Grand Total|43.75"}},
        {2, 2, {"Sales|", "Year|Total"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.asked);
        const TablePreview preview = previewTable(*shop.table, row.asked);
        EXPECT_EQ(preview.rows, 5);
        EXPECT_EQ(preview.columns, 2);
        EXPECT_EQ(preview.shownRows, row.shownRows);
        std::vector<std::string> texts(size_t(preview.shownRows), "|");
        for (const PreviewCell& cell : preview.cells) {
            ASSERT_LT(cell.row, preview.shownRows);
            std::string& line = texts[size_t(cell.row)];
            line.insert(cell.column == 0 ? 0 : line.size(), cell.text);
        }
        EXPECT_EQ(texts, std::vector<std::string>(row.texts.begin(), row.texts.begin() + preview.shownRows));
        // The widest label shown sets the first column's width.
        ASSERT_TRUE(preview.widths.count(0));
        EXPECT_GT(preview.widths.at(0), double(row.asked > 2 ? 11 : 4));
    }
}

}  // namespace
