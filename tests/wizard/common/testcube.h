// Small real cube files for the wizard's tests, written with the cube builder.
#pragma once

#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"

#include <filesystem>
#include <string>
#include <vector>

// A dimension and its members, each a path of names from the top level down
// joined by '/' (an "all" level excluded); with several hierarchies, one path
// per hierarchy joined by '|'.
struct TestDimension {
    olap::DimensionSpec spec;
    std::vector<std::string> members;
};

// A dimension of `hierarchies` hierarchies of one level each, member "M1".
TestDimension shaped(const std::string& name, olap::DimensionType type = olap::DimensionType::Other,
                     int hierarchies = 1);

// Writes catalog `catalog` holding cube `cube` with `measures` (sums). Fact i
// takes member i (wrapping) of every dimension, so every member has facts.
void writeCube(const std::filesystem::path& file, const std::string& catalog, const std::string& cube,
               const std::vector<TestDimension>& dimensions, const std::vector<std::string>& measures = {"Units"});
// Store cube N of `folder`: N.cub (catalog "N Catalog", cube N) and N.bwf.
void writeStoreCube(const std::filesystem::path& folder, const std::string& name,
                    const std::vector<TestDimension>& dimensions, const olap::StoreCompanion& companion = {},
                    const std::vector<std::string>& measures = {"Units"});

// "Design" (measures Units, Amount):
//   Time     time   Year > Quarter: 1997 (Q1, Q2), 1998 (Q3)
//   Product  other  (All Products) > Category > Item: Drinks (Cola, Juice), Food (Bread, Cake)
//   City     other  Paris, Rome, Oslo
//   Channel  other  Web
std::vector<TestDimension> designCube();

// "Shop" (measures Amount, Cost, Units):
//   Time     time   Year (named by key) > Quarter > Month: 2023 (Q1: Jan, Feb; Q2: Apr), 2024 (Q1: Jan)
//   Product  other  (All Products) > Category > Subcategory > Item:
//                   Drinks (Soda: Cola, Lemonade; Juice: Apple), Food (Bakery: Bread)
//   Store    other  two hierarchies: City (Oslo, Paris) and Size (Big, Small)
//   Region   other  Country: Norway, France
std::vector<TestDimension> shopCube();
const std::vector<std::string> kShopMeasures{"Amount", "Cost", "Units"};
