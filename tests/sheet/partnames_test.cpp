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

}  // namespace
