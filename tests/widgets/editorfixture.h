// A member tree editor over a small real cube file, opened through the store
// model (mode 1: the cube extracted from a store beside it) or the connection
// model (mode 3), the test's parameter.
#pragma once

#include "widgets/nxdimeditctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "widgets/membertreemodel.h"
#include "wizard/common/testcube.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    // Product: an "all" level over Category and Item holding `items`
    // ("Drinks/Cola"); with `cities`, also City: one level of that many
    // cities ("City 00"...). The editor shows Product.
    void openCube(const std::vector<std::string>& items, int cities = 0)
    {
        ASSERT_TRUE(mFolder.isValid());
        const std::filesystem::path folder = mFolder.path().toStdString();
        using olap::DimensionType;
        std::vector<TestDimension> dimensions{
            {{"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}}, items}};
        if (cities > 0)
            dimensions.push_back({{"City", DimensionType::Other, {{"", false, "", {{"City"}}}}}, {}});
        for (int i = 0; i < cities; ++i)
            dimensions.back().members.push_back((i < 10 ? "City 0" : "City ") + std::to_string(i));
        writeStoreCube(folder, "Sales", dimensions);
        if (GetParam() == NxDimEditCtrl::StoreModel) {
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
};

inline std::string modelName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == NxDimEditCtrl::StoreModel ? "StoreModel" : "ConnectionModel";
}
