#include "reportcheck.h"

#include "sheettestsupport.h"
#include "support/requiredprograms.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {

// One CSV line: fields split at commas outside double quotes; a doubled
// quote inside quotes stands for one.
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

Grid csvGrid(const std::string& text)
{
    Grid grid;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        grid.push_back(csvFields(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line));
    return grid;
}

}  // namespace

Grid sheetAsShown(const std::filesystem::path& workbook, const std::string& sheet, const std::filesystem::path& scratch)
{
    const std::filesystem::path out = scratch / "csv";
    std::filesystem::create_directories(out);
    if (sheettest::convertToCsv(testsupport::programPath("soffice"), workbook, out, scratch / "profile") != 0)
        throw std::runtime_error("LibreOffice failed: " + sheettest::fileBytes(out / "soffice.log"));
    const std::filesystem::path csv = out / (workbook.stem().string() + "-" + sheet + ".csv");
    if (!std::filesystem::exists(csv))
        throw std::runtime_error("LibreOffice wrote no " + csv.string() + ": " + sheettest::fileBytes(out / "soffice.log"));
    return csvGrid(sheettest::fileBytes(csv));
}

Grid sqliteRows(const std::map<std::string, std::filesystem::path>& tables, const std::string& sql)
{
    QStringList arguments{QStringLiteral("-csv")};
    for (const auto& [name, file] : tables)
        arguments << QStringLiteral("-cmd")
                  << QStringLiteral(".import --csv '%1' %2").arg(QString::fromStdString(file.string()),
                                                                 QString::fromStdString(name));
    arguments << QStringLiteral(":memory:") << QString::fromStdString(sql);
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), arguments);
    if (!sqlite.waitForFinished(60000) || sqlite.exitCode() != 0)
        throw std::runtime_error("sqlite3 failed: " + sqlite.readAllStandardError().toStdString());
    return csvGrid(sqlite.readAllStandardOutput().toStdString());
}

std::string reportValue(const Grid& cells, const std::string& row, const std::string& column)
{
    for (size_t r = 0; r < cells.size(); ++r)
        for (size_t labelAt = 0; labelAt < cells[r].size(); ++labelAt)
            for (size_t h = 0; cells[r][labelAt] == row && h < r; ++h)
                for (size_t c = labelAt + 1; c < cells[h].size(); ++c)
                    if (cells[h][c] == column)
                        return c < cells[r].size() ? cells[r][c] : std::string();
    return {};
}

bool hasLabel(const Grid& cells, const std::string& label)
{
    for (const auto& row : cells)
        if (std::find(row.begin(), row.end(), label) != row.end())
            return true;
    return false;
}
