#include "sheet/report/reportcommand.h"

#include "sheet/failures.h"
#include "sheet/host/hostapplication.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/cubepivottable.h"
#include "sheet/report/reportbook.h"
#include "sheet/report/reportbuild.h"
#include "sheet/report/reportrefresh.h"
#include "sheet/xlsx/workbookdocument.h"
#include "platform/core/failure.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace sheet::report {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "Usage: pivotreport COMMAND ...\n"
    "\n"
    "  build DEFINITION.json --output BOOK.xlsx [--sheet NAME] [--cell A1]\n"
    "        builds the report DEFINITION.json describes into BOOK.xlsx (made when\n"
    "        missing; an existing workbook keeps everything else)\n"
    "  refresh BOOK.xlsx [--report NAME]\n"
    "        recomputes every report of BOOK.xlsx (or report NAME) from its cube and\n"
    "        saves the workbook\n"
    "  list BOOK.xlsx\n"
    "        the reports of BOOK.xlsx: name, sheet, cells, cube, when last refreshed\n"
    "  export BOOK.xlsx --report NAME\n"
    "        prints the definition of report NAME (a script can build it again)\n"
    "\n"
    "  --format csv|json   build and refresh print the report's cells instead of\n"
    "                      writing the workbook (--output is then not needed)\n"
    "  --help              show this text\n"
    "\n"
    "Progress goes to standard error. Exit status: 0 done, 1 bad input (the\n"
    "message names the file, and the member or field), 2 wrong arguments.\n";

struct Options {
    std::string command;
    std::string file;
    std::map<std::string, std::string> values;  // "--output" -> "book.xlsx"
    bool help = false;
};

struct UsageError {
    std::string problem;
};

Options parseArguments(std::span<const std::string> arguments)
{
    static const std::map<std::string, std::vector<std::string>> kAllowed = {
        {"build", {"--output", "--sheet", "--cell", "--format"}},
        {"refresh", {"--report", "--format"}},
        {"list", {}},
        {"export", {"--report"}}};
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument.starts_with("--")) {
            if (options.command.empty())
                throw UsageError{"the command comes first"};
            const auto& allowed = kAllowed.at(options.command);
            if (std::find(allowed.begin(), allowed.end(), argument) == allowed.end())
                throw UsageError{options.command + " takes no option " + argument};
            if (i + 1 >= arguments.size())
                throw UsageError{argument + " needs a value"};
            options.values[argument] = arguments[++i];
        } else if (options.command.empty()) {
            if (!kAllowed.count(argument))
                throw UsageError{"unknown command '" + argument + "'"};
            options.command = argument;
        } else if (options.file.empty()) {
            options.file = argument;
        } else {
            throw UsageError{"unexpected argument '" + argument + "'"};
        }
    }
    if (options.help)
        return options;
    if (options.command.empty())
        throw UsageError{"no command given"};
    if (options.file.empty())
        throw UsageError{options.command + " needs " + (options.command == "build" ? "a definition file" : "a workbook")};
    const auto format = options.values.find("--format");
    if (format != options.values.end() && format->second != "csv" && format->second != "json")
        throw UsageError{"--format takes csv or json, not '" + format->second + "'"};
    if (options.command == "build" && !options.values.count("--output") && format == options.values.end())
        throw UsageError{"build needs --output BOOK.xlsx (or --format)"};
    if (options.command == "export" && !options.values.count("--report"))
        throw UsageError{"export needs --report NAME"};
    return options;
}

std::string readFile(const fs::path& file)
{
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error)
        failApplication("'" + file.string() + "' cannot be read: " + error.message());
    if (size > (64u << 20))
        failApplication("'" + file.string() + "' is larger than 64 MB; no definition is");
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        failApplication("'" + file.string() + "' cannot be read");
    return text.str();
}

std::string numberText(double value)
{
    // The shortest text that reads back as the same number.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// The cells of `area` on `sheet` as the host will write them.
std::vector<std::vector<CellValue>> areaCells(HostWorksheet& sheet, const Area& area)
{
    std::vector<std::vector<CellValue>> rows(size_t(area.last.row - area.first.row + 1),
                                             std::vector<CellValue>(size_t(area.last.column - area.first.column + 1)));
    const auto& cells = sheet.cells().cells();
    for (auto it = cells.lower_bound(area.first); it != cells.end() && it->first.row <= area.last.row; ++it) {
        if (area.contains(it->first))
            rows[size_t(it->first.row - area.first.row)][size_t(it->first.column - area.first.column)] = it->second.value;
    }
    return rows;
}

std::string csvField(const CellValue& value)
{
    if (const auto* number = std::get_if<double>(&value))
        return numberText(*number);
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? "TRUE" : "FALSE";
    const auto* text = std::get_if<std::string>(&value);
    if (!text)
        return {};
    if (text->find_first_of(",\"\n\r") == std::string::npos)
        return *text;
    std::string quoted = "\"";
    for (char c : *text)
        quoted.append(c == '"' ? 2 : 1, c);
    return quoted + "\"";
}

// A report whose cells are printed instead of saved.
struct Printed {
    std::string name;
    std::shared_ptr<HostWorksheet> sheet;
    Area area;
};

std::shared_ptr<HostWorksheet> sheetNamed(HostWorkbook& book, const std::string& name)
{
    for (const auto& model : book.worksheetModels()) {
        if (book.document().name(*model) == name)
            return book.worksheet(model);
    }
    failApplication("the workbook has no sheet '" + name + "'");
}

void printCells(std::ostream& out, const std::string& format, const std::vector<Printed>& reports)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (size_t i = 0; i < reports.size(); ++i) {
        const auto rows = areaCells(*reports[i].sheet, reports[i].area);
        if (format == "csv") {
            if (i > 0)
                out << "\n";
            for (const auto& row : rows) {
                for (size_t c = 0; c < row.size(); ++c)
                    out << (c ? "," : "") << csvField(row[c]);
                out << "\n";
            }
            continue;
        }
        nlohmann::ordered_json cells = nlohmann::ordered_json::array();
        for (const auto& row : rows) {
            nlohmann::ordered_json line = nlohmann::ordered_json::array();
            for (const auto& value : row) {
                if (const auto* number = std::get_if<double>(&value))
                    line.push_back(*number);
                else if (const auto* text = std::get_if<std::string>(&value))
                    line.push_back(*text);
                else if (const auto* flag = std::get_if<bool>(&value))
                    line.push_back(*flag);
                else
                    line.push_back(nullptr);
            }
            cells.push_back(std::move(line));
        }
        list.push_back({{"report", reports[i].name}, {"sheet", reports[i].sheet->Name()}, {"area", plainAddress(reports[i].area)},
                        {"cells", std::move(cells)}});
    }
    if (format == "json")
        out << (list.size() == 1 ? list[0] : list).dump(1) << "\n";
}

std::shared_ptr<HostWorkbook> openBook(Application& app, const std::string& file)
{
    return std::dynamic_pointer_cast<HostWorkbook>(app.Workbooks()->Open(file));
}

int build(const Options& options, std::ostream& out, std::ostream& err)
{
    const fs::path definitionFile = options.file;
    ReportDefinition report = reportFromJson(readFile(definitionFile), definitionFile.string());
    if (options.values.count("--sheet"))
        report.sheet = options.values.at("--sheet");
    if (options.values.count("--cell"))
        report.cell = options.values.at("--cell");
    // A cube file named relative to the definition lies beside it.
    if (report.source.kind != "server" && fs::path(report.source.dataSource).is_relative())
        report.source.dataSource = fs::absolute(definitionFile.parent_path() / report.source.dataSource).lexically_normal().string();
    const auto format = options.values.count("--format") ? options.values.at("--format") : std::string();
    const auto output = options.values.count("--output") ? options.values.at("--output") : std::string();
    auto app = createApplication();
    std::shared_ptr<HostWorkbook> book;
    if (!output.empty() && fs::exists(output)) {
        err << "pivotreport: opening " << output << "\n";
        book = openBook(*app, output);
    } else {
        book = std::dynamic_pointer_cast<HostWorkbook>(app->Workbooks()->Add());
    }
    err << "pivotreport: computing '" << report.name << "' from cube '" << report.source.cube << "' of "
        << report.source.dataSource << "\n";
    const auto table = buildReport(*book, report);
    if (!format.empty()) {
        printCells(out, format, {{report.name, sheetNamed(*book, report.sheet), table->area()}});
        return kReportDone;
    }
    err << "pivotreport: writing " << output << "\n";
    book->SaveAs(output);
    err << "pivotreport: built '" << report.name << "' at " << report.sheet << "!" << plainAddress(table->area()) << "\n";
    return kReportDone;
}

int refresh(const Options& options, std::ostream& out, std::ostream& err)
{
    auto app = createApplication();
    auto book = openBook(*app, options.file);
    const auto name = options.values.count("--report") ? options.values.at("--report") : std::string();
    const auto outcome = refreshReports(*book, name, [&](const ReportDefinition& report) {
        err << "pivotreport: computing '" << report.name << "' from cube '" << report.source.cube << "'\n";
    });
    for (const auto& warning : outcome.warnings())
        err << "pivotreport: warning: " << options.file << ": " << warning << "\n";
    if (options.values.count("--format")) {
        std::vector<Printed> printed;
        for (const auto& report : outcome.reports)
            printed.push_back({report.name, sheetNamed(*book, report.sheet), *parseAddress(report.after)});
        printCells(out, options.values.at("--format"), printed);
        return kReportDone;
    }
    err << "pivotreport: writing " << options.file << "\n";
    book->Save();
    err << "pivotreport: " << outcome.summary() << "\n";
    return kReportDone;
}

int list(const Options& options, std::ostream& out)
{
    auto app = createApplication();
    auto book = openBook(*app, options.file);
    const auto& reports = book->reports().definitions(book->document());
    for (const auto& report : reports) {
        out << report.name << "\t" << report.sheet << "\t" << report.area << "\t" << report.source.cube << " ("
            << report.source.dataSource << ")\t" << (report.refreshed.empty() ? "-" : report.refreshed) << "\n";
    }
    // Reports drawn before definitions were kept, or whose definition another program dropped.
    for (const auto& model : book->worksheetModels()) {
        for (const auto& info : book->document().storedPivotTables(*model)) {
            if (!book->reports().find(book->document(), info.name, book->document().name(*model)))
                out << info.name << "\t" << book->document().name(*model) << "\t" << plainAddress(info.area)
                    << "\t(no definition)\t-\n";
        }
    }
    return kReportDone;
}

int exportReport(const Options& options, std::ostream& out)
{
    auto app = createApplication();
    auto book = openBook(*app, options.file);
    const auto& name = options.values.at("--report");
    const auto* report = book->reports().find(book->document(), name);
    if (!report)
        failApplication("'" + options.file + "' has no definition of a report named '" + name + "'");
    ReportDefinition exported = *report;
    exported.area.clear();
    exported.refreshed.clear();
    out << toJson(exported);
    return kReportDone;
}

}  // namespace

int runPivotReportCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    Options options;
    try {
        options = parseArguments(arguments);
    } catch (const UsageError& usage) {
        err << "pivotreport: " << usage.problem << "\n" << kUsage;
        return kReportUsage;
    }
    if (options.help) {
        out << kUsage;
        return kReportDone;
    }
    try {
        if (options.command == "build")
            return build(options, out, err);
        if (options.command == "refresh")
            return refresh(options, out, err);
        if (options.command == "list")
            return list(options, out);
        return exportReport(options, out);
    } catch (const platform::Failure& failure) {
        err << "pivotreport: error: " << options.file << ": " << failure.description() << "\n";
        return kReportBadInput;
    }
}

}  // namespace sheet::report
