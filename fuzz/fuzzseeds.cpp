// Writes the seed corpus of every fuzz target, each made by the project's own
// writers: cube files by the cube builder, store files by the store's
// writers, workbooks by the spreadsheet host, profile files by the profile
// functions. Usage: fuzzseeds OUTPUT_FOLDER; one folder per target below it.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/store/bwcfile.h"
#include "olap/store/storecompanion.h"
#include "platform/services/iniprofile.h"
#include "sheet/application.h"
#include "sheet/host/hostapplication.h"
#include "sheet/workbook.h"

#include <sqlite3.h>
#include <zip.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;
using namespace olap;

namespace {

fs::path gOut;

fs::path seed(const std::string& target, const std::string& name)
{
    fs::create_directories(gOut / target);
    return gOut / target / name;
}

void writeText(const fs::path& file, std::string_view text)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A cube with an "all" level, two hierarchies on one dimension, empty values
// and every aggregation that reads values, a distinct count among them.
CubeBuilder salesCube()
{
    CubeBuilder cube({"Sales",
                      {{"Time", DimensionType::Time, {{"", true, "", {{"Year", true}, {"Quarter"}}}}},
                       {"Product", DimensionType::Other, {{"", false, "", {{"Category"}, {"Item"}}}, {"Brand", false, "", {{"Brand"}}}}}},
                      {{"Units", Aggregation::Sum, "#,##0"}, {"Price", Aggregation::Average, "0.00"}, {"Top", Aggregation::Max, ""},
                       {"Buyers", Aggregation::DistinctCount, ""}}});
    const uint32_t q1 = cube.dimensionKey(0, {{"1997", ""}, {"Q1", "Quarter 1"}});
    const uint32_t q2 = cube.dimensionKey(0, {{"1998", ""}, {"Q2", ""}});
    const std::vector<std::vector<PathPart>> cola = {{{"Drinks", ""}, {"Cola", ""}}, {{"Acme", ""}}};
    const std::vector<std::vector<PathPart>> bread = {{{"Food", ""}, {"Bread", ""}}, {{"Fresh", ""}}};
    const uint32_t c = cube.dimensionKey(1, cola), b = cube.dimensionKey(1, bread);
    const double ann = cube.distinctId(3, "Ann"), bo = cube.distinctId(3, "Bo");
    cube.addFact(std::vector<uint32_t>{q1, c}, std::vector<double>{3, 1.5, 2, ann});
    cube.addFact(std::vector<uint32_t>{q2, b}, std::vector<double>{4, kEmpty, 1e300, bo});
    cube.addFact(std::vector<uint32_t>{q2, c}, std::vector<double>{kEmpty, 2.25, kEmpty, ann});
    return cube;
}

// The writer's large pages shrunk, so that the fuzzer's changes land on
// content rather than on the padding of 64 KiB pages.
void shrinkPages(const fs::path& file)
{
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA page_size = 512; VACUUM", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void cubeSeeds()
{
    CubeBuilder sales = salesCube();
    CubeBuilder empty({"Empty", {{"Region", DimensionType::Other, {{"", false, "", {{"City"}}}}}}, {{"Count", Aggregation::Count, ""}}});
    CubeBuilder* both[] = {&sales, &empty};
    const fs::path cub = seed("cubefile", "sales.cub");
    writeCubeFile(cub, "Shop", both);
    shrinkPages(cub);
    CubeBuilder* one[] = {&sales};
    writeCubeFile(gOut / "Sales.cub", "Shop", one);
    const auto file = CubeFile::open(gOut / "Sales.cub");
    writeStoreCompanion(seed("bwf", "special.bwf"), {true, "Product"});
    writeStoreCompanion(seed("bwf", "plain.bwf"), {false, ""});
    writeBwcFile(seed("bwc", "sales.BWC"), {"Sales", "Shop", {true, "Product"}, file->catalog().cubes[0]});
    fs::remove(gOut / "Sales.cub");
}

void textSeeds(const fs::path& source)
{
    for (const char* table : {"sales.csv", "products.csv", "months.csv"})
        fs::copy_file(source / "tests/olap/data/cubebuilder" / table, seed("csv", table), fs::copy_options::overwrite_existing);
    writeText(seed("csv", "quoted.csv"), "id,\"na,me\"\r\n1,\"a \"\"b\"\"\r\nc\"\r\n\r\n2,\xEF\xBB\xBF\n");
    fs::copy_file(source / "tests/olap/data/cubebuilder/sales.json", seed("cubedefinition", "sales.json"),
                  fs::copy_options::overwrite_existing);
    for (const auto& entry : fs::directory_iterator(source / "samples/cubes"))
        fs::copy_file(entry.path(), seed("cubedefinition", entry.path().filename().string()), fs::copy_options::overwrite_existing);
    writeText(seed("connectionstring", "local.txt"),
              "OLEDB;Provider=MSOLAP.2;Data Source=/data/Sales.cub;Initial Catalog=Shop;Client Cache Size=25");
    writeText(seed("connectionstring", "quoted.txt"), "Provider = \"MS\"\"OLAP\" ; Location=x; Data Source='a;b'");
    const fs::path ini = seed("ini", "settings.ini");
    platform::writeProfileString(ini, "Settings", "Name", "Shop \"quoted\"");
    platform::writeProfileString(ini, "Settings", "Count", "0x1F");
    platform::writeProfileString(ini, "Other", "Empty", "");
    writeText(seed("ini", "crlf.ini"), "; comment\r\n[Settings]\r\nCount = -12\r\nline without equals\r\n");
}

void zipFolder(const fs::path& folder, const fs::path& file)
{
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const std::string name = fs::relative(entry.path(), folder).generic_string();
        zip_file_add(zip, name.c_str(), zip_source_file(zip, entry.path().c_str(), 0, -1), ZIP_FL_ENC_UTF_8);
    }
    zip_close(zip);
}

void workbookSeeds(const fs::path& source)
{
    const auto app = sheet::createApplication();
    const auto book = app->Workbooks()->Add();
    book->SaveAs(seed("workbook", "new.xlsx").string());
    book->Close();
    zipFolder(source / "tests/sheet/fixture", seed("workbook", "fixture.xlsx"));
    // One seed per part of the fixture: its index, then its bytes.
    std::vector<fs::path> parts;
    for (const auto& entry : fs::recursive_directory_iterator(source / "tests/sheet/fixture"))
        if (entry.is_regular_file())
            parts.push_back(fs::relative(entry.path(), source / "tests/sheet/fixture"));
    std::sort(parts.begin(), parts.end(), [](const fs::path& a, const fs::path& b) { return a.generic_string() < b.generic_string(); });
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string bytes = std::string(1, char(i)) + readText(source / "tests/sheet/fixture" / parts[i]);
        writeText(seed("workbookxml", "part" + std::to_string(i)), bytes);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: fuzzseeds SOURCE_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    gOut = argv[2];
    fs::create_directories(gOut);
    cubeSeeds();
    textSeeds(argv[1]);
    workbookSeeds(argv[1]);
    return 0;
}
