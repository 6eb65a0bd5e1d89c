// The store's companion files: a small text format, read strictly.
#include "olap/store/storecompanion.h"
#include "olaptestsupport.h"

using namespace olap;
using olaptest::HasSubstr;

namespace {

class StoreCompanionTest : public testing::Test {
protected:
    platform::Failure readFailure(const char* text)
    {
        writeText(mFile, text);
        return olaptest::failureOf([&] { readStoreCompanion(mFile); });
    }

    ScratchFolder mFolder;
    std::filesystem::path mFile = mFolder / "Sales.bwf";
};

}  // namespace

// Both kinds of companion are written and read back by the store model's
// tests (storemodel_test.cpp); here the text, and one made by hand.
TEST_F(StoreCompanionTest, WhatIsWrittenIsReadBackFromText)
{
    writeStoreCompanion(mFile, {true, "Measure List"});
    const std::string text = textOf(mFile);
    EXPECT_TRUE(text.starts_with("bwf 1\n")) << text;
    EXPECT_THAT(text, HasSubstr("\nmeasuresSpecial = true\nmeasureListDimension = Measure List\n"));
    writeText(mFile, "bwf 1\r\n# made by hand\r\n\r\n  measureListDimension   =  Measures  \r\n");
    EXPECT_FALSE(readStoreCompanion(mFile).measuresSpecial);
    EXPECT_EQ(readStoreCompanion(mFile).measureListDimension, "Measures");
}

TEST_F(StoreCompanionTest, UnreadableFilesAreRefusedByNumberNamingTheProblem)
{
    const struct { const char* text; int number; const char* problem; } cases[] = {
        {"bwf x\n", platform::err::kBadFileName, "is not a store companion file"},
        {"bwf 2\nmeasuresSpecial = false\nsomethingNew = 1\n", platform::err::kBadFileName, "newer version (format 2"},
        {"bwf 1\nmeasuresSpecial\n", platform::err::kPathFileAccess, "is damaged (line 2 is not \"key = value\""},
        {"bwf 1\nmeasuresSpecial = yes\n", platform::err::kPathFileAccess, "measuresSpecial must be true or false"},
        {"bwf 1\ncolour = blue\n", platform::err::kPathFileAccess, "unknown entry \"colour\""},
        {"bwf 1\nmeasuresSpecial = true\nmeasuresSpecial = false\n", platform::err::kPathFileAccess,
         "\"measuresSpecial\" is given twice"},
        {"bwf 1\nmeasuresSpecial = true\n", platform::err::kPathFileAccess, "no measure-list dimension is named"},
    };
    for (const auto& test : cases) {
        const platform::Failure failure = readFailure(test.text);
        EXPECT_EQ(failure.number(), test.number) << test.text;
        EXPECT_THAT(failure.description(), HasSubstr(mFile.string()));
        EXPECT_THAT(failure.description(), HasSubstr(test.problem));
    }
    std::filesystem::remove(mFile);
    const platform::Failure missing = olaptest::failureOf([&] { readStoreCompanion(mFile); });
    EXPECT_EQ(missing.number(), platform::err::kFileNotFound);
    EXPECT_EQ(missing.source(), "olap");
    EXPECT_THAT(missing.description(), HasSubstr(mFile.string()));
}

// Special measures need a list dimension, and names are not padded.
TEST_F(StoreCompanionTest, RefusedWritesLeaveTheOldFile)
{
    writeStoreCompanion(mFile, {true, "Measure List"});
    EXPECT_THROW(writeStoreCompanion(mFile, {true, ""}), platform::Failure);
    EXPECT_THROW(writeStoreCompanion(mFile, {false, " padded"}), platform::Failure);
    EXPECT_EQ(readStoreCompanion(mFile).measureListDimension, "Measure List");
}
