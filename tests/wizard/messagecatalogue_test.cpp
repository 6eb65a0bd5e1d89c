// The message catalogue: one text per code, data filled in where it belongs.
#include "wizard/errors/messagecatalogue.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

struct Entry {
    qint32 code;
    const char* data;
    const char* text;
};

TEST(MessageCatalogue, EveryCodeHasItsText)
{
    const Entry entries[] = {
        {50001, "", "The Measure Member cannot be moved outside the Row"},
        {50002, "", "Only numbers allowed"},
        {50003, "", "Please select the Column to start from"},
        {50004, "", "Select a different Area as the Row and Column selected clashes"},
        {50005, "", "Please select how the information is to presented"},
        {50006, "Measures", "The Measure 'Measures' requires at least one member to be selected"},
        {50007, "", "The row and column areas must contain at least one dimension."},
        {50008, "abc", "'abc' is not a valid cube file"},
        {50008, "", "No cube file selected"},
        {50009, "", "No cube has been selected"},
        {50010, "Sales", "Unable to read the file 'Sales' from the store"},
        {50011, "/s/Sales.BWC", "Unable to load '/s/Sales.BWC' to the cube object"},
        {50012, "x", "Unable to convert 'x' to a '.BWC' file"},
        {50013, "x", "Unable to convert 'x' to a '.cub' file"},
        {50014, "", "Invalid row specified for the row position"},
        {50015, "", "PivotTable already exists on this worksheet"},
        {50016, "", "At least one member for this dimension must be selected"},
        {50017, "", "At least one member of the first child level in this dimension must be selected"},
        {50018, "", "Please select a 'cub' file"},
        {50019, "", "You are not connected to any server"},
        {50020, "/d/a.cub", "Unable to connect to the cub file : '/d/a.cub'"},
        {50021, "/d/a.cub", "The cub file : \r\r'/d/a.cub'\r\rdoes not exist"},
        {50022, "/s/Sales.cub", "Could not find the 'cub' file for this cube : \r\r/s/Sales.cub"},
        {50023, "/s/Sales.bwf", "Could not find the 'bwf' file for this cube : \r\r/s/Sales.bwf"},
        {50024, "", "The selected sheet is protected.\r\rTo build a PivotTable on this sheet you will first need to unprotect it."},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(catalogueText(e.code, QString::fromUtf8(e.data), QStringLiteral("pending")), QString::fromUtf8(e.text))
            << e.code;
    }
}

TEST(MessageCatalogue, CodesOutsideTheCatalogueGiveThePendingFailure)
{
    for (qint32 code : {0, 50000, 50025, -1})
        EXPECT_EQ(catalogueText(code, QStringLiteral("ignored"), QStringLiteral("Disk full")), QStringLiteral("Disk full"));
}

TEST(MessageCatalogue, PendingFailureIsEmptyOutsideAFailure)
{
    EXPECT_TRUE(pendingFailureDescription().isEmpty());
}

TEST(MessageCatalogue, PendingFailureIsTheDescriptionOfTheFailureBeingHandled)
{
    try {
        throw std::out_of_range("row 7");
    } catch (...) {
        EXPECT_EQ(pendingFailureDescription(), QStringLiteral("Subscript out of range: row 7"));
    }
}

}  // namespace
