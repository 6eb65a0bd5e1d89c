#include "sheet/xlsx/partnames.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

TEST(PartNames, ResolveTargetsRelativeToTheSourceFolder)
{
    EXPECT_EQ(resolveTarget("", "xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(resolveTarget("", "/xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(resolveTarget("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(resolveTarget("xl/worksheets/sheet1.xml", "../drawings/drawing1.xml"), "xl/drawings/drawing1.xml");
    EXPECT_EQ(resolveTarget("xl/workbook.xml", "/xl/worksheets/./sheet2.xml"), "xl/worksheets/sheet2.xml");
    EXPECT_EQ(resolveTarget("xl/workbook.xml", "worksheets/my%20sheet.xml"), "xl/worksheets/my sheet.xml");
}

TEST(PartNames, NameRelationshipsParts)
{
    EXPECT_EQ(relationshipsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(relationshipsPartOf("xl/worksheets/sheet3.xml"), "xl/worksheets/_rels/sheet3.xml.rels");
    EXPECT_EQ(relationshipsPartOf(""), "_rels/.rels");
}

TEST(PartNames, MakeRelativeTargetsThatResolveBack)
{
    const std::pair<const char*, const char*> cases[] = {
        {"xl/workbook.xml", "xl/worksheets/sheet2.xml"},
        {"xl/worksheets/sheet1.xml", "xl/drawings/drawing3.xml"},
        {"xl/workbook.xml", "xl/styles.xml"},
        {"xl/workbook.xml", "customXml/item1.xml"}};
    for (const auto& [source, target] : cases)
        EXPECT_EQ(resolveTarget(source, relativeTarget(source, target)), target) << source << " -> " << target;
    EXPECT_EQ(relativeTarget("xl/workbook.xml", "xl/worksheets/sheet2.xml"), "worksheets/sheet2.xml");
}

}  // namespace
