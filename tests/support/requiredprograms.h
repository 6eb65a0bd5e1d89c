// Tests that compare with an outside program (LibreOffice, sqlite3, the PDF
// tools, a database server) need it installed. On a developer's machine a
// missing program skips the test; under CI=true it is a broken set-up and
// fails the test, so a CI run can never pass by skipping what it must check.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

namespace testsupport {

// Where `name` is found on PATH; empty when it is not.
inline std::string programPath(std::string_view name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::error_code error;
        if (const auto candidate = std::filesystem::path(folder) / name; std::filesystem::is_regular_file(candidate, error))
            return candidate.string();
    }
    return {};
}

// The names of `programs` missing from PATH, separated by ", ".
inline std::string missingPrograms(std::initializer_list<std::string_view> programs)
{
    std::string missing;
    for (std::string_view program : programs)
        if (programPath(program).empty())
            missing += (missing.empty() ? "" : ", ") + std::string(program);
    return missing;
}

inline bool runningInCi() { return std::getenv("CI") && std::string_view(std::getenv("CI")) == "true"; }

}  // namespace testsupport

// Skips the test (fails it under CI=true) when `lacking`, a text naming
// what the test needs and the machine lacks, is not empty.
#define REQUIRE_SETUP(lacking)                                                                  \
    do {                                                                                        \
        const std::string lacking_ = (lacking);                                                 \
        if (!lacking_.empty()) {                                                                \
            if (testsupport::runningInCi())                                                     \
                FAIL() << "CI must run this test, which lacks " << lacking_;                   \
            GTEST_SKIP() << "lacking " << lacking_;                                             \
        }                                                                                       \
    } while (0)

// Skips the test (fails it under CI=true) unless every named program is on PATH.
#define REQUIRE_PROGRAMS(...) REQUIRE_SETUP(testsupport::missingPrograms({__VA_ARGS__}))
