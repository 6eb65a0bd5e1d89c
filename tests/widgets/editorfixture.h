// A member tree editor over a small real cube file, opened through the store
// model (mode 1: the cube extracted from a store beside it) or the connection
// model (mode 3), the test's parameter.
#pragma once

#include "widgets/nxdimeditctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "widgets/membertreemodel.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

using Captions = std::vector<std::string>;

inline Captions captions(const DimMembers& members)
{
    Captions out;
    for (const DimMember& member : members)
        out.push_back(member.caption());
    return out;
}

class EditorFixture : public ::testing::TestWithParam<int> {
protected:
    using Items = std::vector<std::array<const char*, 2>>;  // category, item

    // Product: an "all" level over Category and Item holding `items`; with
    // `cities`, also City: one level of that many cities ("City 00"...), the
    // facts going round the items. The editor shows Product.
    void openCube(const Items& items, int cities = 0)
    {
        ASSERT_TRUE(mFolder.isValid());
        const std::filesystem::path folder = mFolder.path().toStdString();
        writeCube(folder / "Sales.cub", items, cities);
        if (GetParam() == NxDimEditCtrl::StoreModel) {
            olap::writeStoreCompanion(folder / "Sales.bwf", {});
            ASSERT_TRUE(olap::extractStoreCube((folder / "pivotwizard").string(), "Sales", folder / "Sales.BWC", 1));
            mCube = std::make_shared<olap::Cube>();
            mCube->loadFromFile(folder / "Sales.BWC", true);
        } else {
            olap::OlapConnection connection;
            connection.openLocalCube(olap::kLocalConnectionName, folder / "Sales.cub");
            mKCube = connection.databases().item(0)->cubes().item(0)->definition();
        }
        editor.resize(300, 400);
        attach("Product");
    }

    void attach(const std::string& dimension)
    {
        if (mCube)
            editor.setDimension(mCube->dimensionByName(dimension));
        else
            editor.setKDimension(kDimension(dimension));
    }
    std::shared_ptr<olap::KDimension> kDimension(const std::string& name) const
    {
        for (const std::shared_ptr<olap::KDimension>& dimension : mKCube->dimensions())
            if (dimension->name() == name)
                return dimension;
        return nullptr;
    }
    MemberList top(const std::string& name) const
    {
        return mCube ? MemberList::topMembers(*mCube->dimensionByName(name)) : MemberList::topMembers(*kDimension(name));
    }
    // The Product member reached by captions below "All Products"; null when none is.
    DimMember product(const Captions& path = {}) const
    {
        DimMember found = top("Product").at(0);
        for (const std::string& caption : path) {
            const MemberList children = found.children();
            int i = 0;
            while (i < children.count() && children.at(i).caption() != caption)
                ++i;
            found = i < children.count() ? children.at(i) : DimMember();
        }
        return found;
    }

    QTemporaryDir mFolder;
    std::shared_ptr<olap::Cube> mCube;
    std::shared_ptr<olap::KCube> mKCube;
    NxDimEditCtrl editor;

private:
    static void writeCube(const std::filesystem::path& file, const Items& items, int cities)
    {
        using olap::DimensionType;
        olap::CubeSpec shape{"Sales",
                            {{"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}}},
                            {{"Units", olap::Aggregation::Sum, ""}}};
        if (cities > 0)
            shape.dimensions.push_back({"City", DimensionType::Other, {{"", false, "", {{"City"}}}}});
        olap::CubeBuilder cube(shape);
        for (int i = 0; i < std::max(int(items.size()), cities); ++i) {
            const auto& item = items[size_t(i) % items.size()];
            std::vector<uint32_t> keys{cube.dimensionKey(0, std::vector<olap::PathPart>{{item[0], ""}, {item[1], ""}})};
            if (cities > 0)
                keys.push_back(cube.dimensionKey(1, std::vector<olap::PathPart>{{(i < 10 ? "City 0" : "City ") + std::to_string(i), ""}}));
            const double values[] = {1.0};
            cube.addFact(keys, values);
        }
        olap::CubeBuilder* cubes[] = {&cube};
        olap::writeCubeFile(file, "Sales Catalog", cubes);
    }
};

inline std::string modelName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == NxDimEditCtrl::StoreModel ? "StoreModel" : "ConnectionModel";
}
