// sqlite3 over the CSV tables the sample store's cubes were built from: the
// independent computation the reports are compared with.
#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

// sqlite3's list output, fields separated by ',', for `sql` over `tables`.
inline std::string sqliteOverSamples(std::initializer_list<const char*> tables, const std::string& sql)
{
    const std::filesystem::path source = std::filesystem::path(PIVOTWIZARD_SAMPLES) / "source";
    QStringList arguments{QStringLiteral("-list"), QStringLiteral("-separator"), QStringLiteral(",")};
    for (const std::string table : tables)
        arguments << QStringLiteral("-cmd")
                  << QString::fromStdString(".import --csv '" + (source / (table + ".csv")).string() + "' " + table);
    arguments << QStringLiteral(":memory:") << QString::fromStdString(sql);
    QProcess sqlite3;
    sqlite3.start(QStringLiteral("sqlite3"), arguments);
    EXPECT_TRUE(sqlite3.waitForFinished(60000) && sqlite3.exitCode() == 0) << sqlite3.readAllStandardError().toStdString();
    return sqlite3.readAllStandardOutput().toStdString();
}
