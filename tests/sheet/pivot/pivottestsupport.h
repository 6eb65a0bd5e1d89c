// Helpers of the pivot engine's tests: a small real cube file, a workbook
// with a pivot table over it, and the cells of a saved sheet read back.
#pragma once

#include "sheet/application.h"
#include "sheet/host/extensions.h"
#include "sheettestsupport.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace pivottest {

// The cube file "Shop" (catalog "Shop Catalog"), five facts:
//   Time (time): Year > Quarter        2023 Q1, 2023 Q2, 2024 Q1
//   Product: (All Products) > Category > Product   Drinks: Tea, Coffee; Food: Bread
//   Measure List (measure): Measure     every fact "Units"
//   measures Sales (sum, "#,##0.00"), Units (sum, "0")
//   2023 Q1 Tea 10/1, 2023 Q1 Bread 5/2, 2023 Q2 Coffee 7.5/3, 2024 Q1 Tea 20/4, 2024 Q1 Coffee 1.25/5
void writeShopCube(const std::filesystem::path& file);

// The connection string the wizard builds for a local cube file.
std::string localConnection(const std::filesystem::path& cube, const std::string& catalog);

// A pivot cache of `book` over the cube "Shop" of `cube`.
std::shared_ptr<sheet::PivotCache> shopCache(sheet::Workbook& book, const std::filesystem::path& cube);

// A pivot table "Table Sales" over the sample store's Sales cube at
// `address` of `book`'s first sheet.
std::shared_ptr<sheet::PivotTable> sampleSalesTable(sheet::Workbook& book, const std::string& address);

// A new workbook of a new host application and a pivot table "Table Shop"
// at `address` of its first sheet, made from `cube`.
struct ShopTable {
    std::shared_ptr<sheet::Application> app;
    std::shared_ptr<sheet::Workbook> book;
    std::shared_ptr<sheet::Worksheet> sheet;
    std::shared_ptr<sheet::PivotTable> table;

    void place(const std::string& field, int32_t orientation);
    // The cells the table covered when it was last drawn.
    sheet::Area area() const;
};
ShopTable makeShopTable(const std::filesystem::path& cube, const std::string& address = "A1");

// A test over a fresh shop cube in a temporary folder and a table at A1.
class ShopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeShopCube(cube);
        shop = makeShopTable(cube);
    }

    ScratchFolder folder;
    std::filesystem::path cube = folder / "shop.cub";
    ShopTable shop;
};

// One cell of a saved sheet: its shown text (a number as the file stores it)
// and the number format code of its style ("" for General).
struct SavedCell {
    std::string text;
    std::string numberFormat;
    bool bold = false;
};

// The cells of sheet `part` ("xl/worksheets/sheet1.xml") of `file` by name ("C5").
std::map<std::string, SavedCell> savedCells(const std::filesystem::path& file, const std::string& part);

}  // namespace pivottest
