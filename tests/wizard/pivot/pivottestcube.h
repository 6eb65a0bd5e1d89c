// A small real cube for the PivotTable build tests, written with the cube
// builder into a folder: catalog "Shop Catalog", cube "Shop".
//
//   Time     time,  no "all" level; Year (named by key) > Quarter > Month:
//            2023 (Q1: Jan, Feb; Q2: Apr), 2024 (Q1: Jan)
//   Product  other, "all" level "All Products" > Category > Subcategory > Item:
//            Drinks (Soda: Cola, Lemonade; Juice: Apple), Food (Bakery: Bread)
//   Store    other, two hierarchies: Store (City: Oslo, Paris) and Size
//            (Size: Big, Small)
//   Region   other, no "all" level; Country: Norway, France
// Measures: Amount, Cost (half the amount) and Units, all sums.
// With `measureList`, a fifth dimension "Measure List" (type measure, level
// Measure: Amount, Margin, Units) lists the measures, "Margin" naming none
// and none naming Cost, and the store companion names it as the
// measure-list dimension.
//
// As a store cube it is "Shop.cub" with the companion "Shop.bwf" (no
// measure-list dimension) in the application folder.
#pragma once

#include <filesystem>
#include <memory>

namespace olap {
class Cube;
class KCube;
}  // namespace olap

namespace pivottest {

void writeShopCube(const std::filesystem::path& file, bool measureList = false);
// Writes Shop.cub and Shop.bwf into `folder` and returns the loaded store
// cube, extracted as the store reader does (the .BWC file is removed again).
std::shared_ptr<olap::Cube> makeStoreShop(const std::filesystem::path& folder, bool measureList = false);
// Opens the cube file `file` through the local-file provider.
std::shared_ptr<olap::KCube> openLocalCube(const std::filesystem::path& file);

}  // namespace pivottest
