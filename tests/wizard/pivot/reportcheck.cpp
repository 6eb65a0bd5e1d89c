#include "reportcheck.h"

#include "sheettestsupport.h"

#include <QProcess>
#include <QStringList>

#include <stdexcept>

namespace pivottest {

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
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        grid.push_back(csvFields(line));
        start = end + 1;
    }
    return grid;
}

}  // namespace

std::optional<Grid> sheetAsShown(const std::filesystem::path& workbook, const std::string& sheet,
                                 const std::filesystem::path& scratch)
{
    const std::string soffice = sheettest::findSoffice();
    if (soffice.empty())
        return std::nullopt;
    const std::filesystem::path out = scratch / "csv";
    std::filesystem::create_directories(out);
    if (sheettest::convertToCsv(soffice, workbook, out, scratch / "profile") != 0)
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

std::string ReportTable::value(const std::string& row, const std::string& column) const
{
    for (size_t r = 0; r < mCells.size(); ++r) {
        for (size_t labelAt = 0; labelAt < mCells[r].size(); ++labelAt) {
            if (mCells[r][labelAt] != row)
                continue;
            for (size_t h = 0; h < r; ++h) {
                for (size_t c = labelAt + 1; c < mCells[h].size(); ++c) {
                    if (mCells[h][c] == column)
                        return c < mCells[r].size() ? mCells[r][c] : std::string();
                }
            }
        }
    }
    return {};
}

bool ReportTable::hasLabel(const std::string& label) const
{
    for (const auto& cells : mCells)
        for (const std::string& cell : cells)
            if (cell == label)
                return true;
    return false;
}

}  // namespace pivottest
