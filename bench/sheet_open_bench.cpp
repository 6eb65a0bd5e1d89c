// How fast the spreadsheet host opens a large workbook to list its sheets,
// the work the wizard's layout step waits for. The workbook is about 50 MB
// on disk: one worksheet of a million rows of varied numbers and texts
// (the bulk), eleven small worksheets (hidden, very hidden, protected, one
// holding a pivot table), shared strings and styles.
//
// The file is written once into the temporary folder (about 10 s, not timed)
// and reused by later runs; set SHEET_OPEN_BENCH_FILE to choose its path.
//
//     cmake --build build --target sheet_open_bench
//     build/bench/sheet_open_bench
//
// OpenAndListSheets is what the wizard needs: open, then every worksheet's
// name and visibility. ProtectionOfTheLargeSheet adds reading whether the
// big sheet is protected, which scans its whole part once (streamed).
#include "sheet/host/hostapplication.h"

#include <benchmark/benchmark.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <filesystem>
#include <random>
#include <string>

namespace {

constexpr uintmax_t kTargetBytes = 50ull * 1000 * 1000;
constexpr int kRows = 1'000'000;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::filesystem::path benchFile()
{
    if (const char* chosen = std::getenv("SHEET_OPEN_BENCH_FILE"); chosen && *chosen)
        return chosen;
    return std::filesystem::temp_directory_path() / "sheet_open_bench_50mb.xlsx";
}

// Rows of an order list: id, date serial, region text, amounts, a flag.
std::string bigSheet()
{
    static const char* const kRegions[] = {"North", "South", "East", "West", "Central", "Overseas"};
    std::mt19937_64 random(20240611);
    std::string text = kDeclaration + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel
                       + "\"><dimension ref=\"A1:F1000000\"/><sheetViews><sheetView workbookViewId=\"0\"/>"
                         "</sheetViews><sheetData>";
    text.reserve(260u << 20);
    char cell[512];
    for (int row = 1; row <= kRows; ++row) {
        const auto r = random();
        const int n = std::snprintf(
            cell, sizeof cell,
            "<row r=\"%d\"><c r=\"A%d\"><v>%d</v></c><c r=\"B%d\"><v>%llu</v></c><c r=\"C%d\" t=\"inlineStr\"><is>"
            "<t>%s %llu</t></is></c><c r=\"D%d\"><v>%.4f</v></c><c r=\"E%d\"><v>%.2f</v></c><c r=\"F%d\" "
            "t=\"b\"><v>%d</v></c></row>",
            row, row, 100000 + row, row, static_cast<unsigned long long>(40000 + r % 3000), row, kRegions[r % 6],
            static_cast<unsigned long long>((r >> 8) % 100000), row,
            static_cast<double>(r % 10'000'000) / 7.0, row, static_cast<double>((r >> 20) % 100'000) / 3.0, row,
            static_cast<int>((r >> 40) & 1));
        text.append(cell, static_cast<size_t>(n));
    }
    return text + "</sheetData><sheetProtection sheet=\"1\"/></worksheet>";
}

std::string smallSheet(int n)
{
    return kDeclaration + "<worksheet xmlns=\"" + kMain + "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>" + std::to_string(n)
           + "</v></c></row></sheetData></worksheet>";
}

// The parts of the workbook being written; libzip reads them at zip_close.
class ZipWriter {
public:
    explicit ZipWriter(const std::filesystem::path& file)
    {
        int error = 0;
        mZip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!mZip)
            throw std::runtime_error("cannot write " + file.string());
    }

    void add(const std::string& name, std::string bytes)
    {
        const std::string& kept = mParts.emplace_back(std::move(bytes));
        zip_source_t* source = zip_source_buffer(mZip, kept.data(), kept.size(), 0);
        const zip_int64_t index = zip_file_add(mZip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(mZip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
    }

    void close()
    {
        if (zip_close(mZip) != 0)
            throw std::runtime_error(zip_strerror(mZip));
    }

private:
    zip_t* mZip = nullptr;
    std::deque<std::string> mParts;
};

std::string workbookPart(int sheets)
{
    std::string text = kDeclaration + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\"><sheets>";
    for (int i = 1; i <= sheets; ++i) {
        const char* state = i == 3 ? " state=\"hidden\"" : i == 4 ? " state=\"veryHidden\"" : "";
        text += "<sheet name=\"Sheet" + std::to_string(i) + "\" sheetId=\"" + std::to_string(i) + "\"" + state
                + " r:id=\"rId" + std::to_string(i) + "\"/>";
    }
    return text + "</sheets></workbook>";
}

void writeWorkbook(const std::filesystem::path& file)
{
    constexpr int kSheets = 12;
    ZipWriter zip(file);
    std::string types = kDeclaration + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
                        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    std::string rels = kDeclaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (int i = 1; i <= kSheets; ++i) {
        const std::string part = "xl/worksheets/sheet" + std::to_string(i) + ".xml";
        types += "<Override PartName=\"/" + part
                 + "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        rels += "<Relationship Id=\"rId" + std::to_string(i) + "\" Type=\"" + kRel + "/worksheet\" Target=\"worksheets/sheet"
                + std::to_string(i) + ".xml\"/>";
    }
    zip.add("[Content_Types].xml", types + "</Types>");
    zip.add("_rels/.rels", kDeclaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                                           "relationships\"><Relationship Id=\"rId1\" Type=\"" + kRel
                                + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    zip.add("xl/workbook.xml", workbookPart(kSheets));
    zip.add("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    zip.add("xl/worksheets/sheet1.xml", bigSheet());
    for (int i = 2; i <= kSheets; ++i)
        zip.add("xl/worksheets/sheet" + std::to_string(i) + ".xml", smallSheet(i));
    zip.add("xl/worksheets/_rels/sheet5.xml.rels",
        kDeclaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + kRel + "/pivotTable\" Target=\"../pivotTables/pivotTable1.xml\"/>"
                       "</Relationships>");
    zip.add("xl/pivotTables/pivotTable1.xml", kDeclaration + "<pivotTableDefinition xmlns=\"" + kMain
                                                   + "\" name=\"Pivot\"><location ref=\"A3:C9\"/></pivotTableDefinition>");
    zip.close();
}

const std::filesystem::path& workbook()
{
    static const std::filesystem::path file = [] {
        const auto path = benchFile();
        std::error_code ignored;
        if (std::filesystem::file_size(path, ignored) < kTargetBytes || ignored)
            writeWorkbook(path);
        return path;
    }();
    return file;
}

void OpenAndListSheets(benchmark::State& state)
{
    const std::string file = workbook().string();
    for (auto _ : state) {
        auto app = sheet::createApplication();
        auto book = app->Workbooks()->Open(file);
        int visible = 0;
        for (const auto& sheet : *book->Worksheets()) {
            benchmark::DoNotOptimize(sheet->Name());
            visible += sheet->Visible() == sheet::kSheetVisible;
        }
        benchmark::DoNotOptimize(visible);
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(workbook())) / 1e6;
}
BENCHMARK(OpenAndListSheets)->Unit(benchmark::kMillisecond);

void ProtectionOfTheLargeSheet(benchmark::State& state)
{
    const std::string file = workbook().string();
    for (auto _ : state) {
        auto app = sheet::createApplication();
        auto book = app->Workbooks()->Open(file);
        benchmark::DoNotOptimize(book->Worksheets()->Item(1)->ProtectContents());
    }
}
BENCHMARK(ProtectionOfTheLargeSheet)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
