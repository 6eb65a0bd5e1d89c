// sqlite3 run over a script: the independent computation pivots are compared
// with. Qt-free, so the sanitizer build's tests can use it.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Writes `script` to `scratch`/script.sql and runs it with sqlite3 in
// `workingFolder` (where its .import finds the CSV files); sqlite3's output
// lines, in its order. A failing run fails the calling test.
inline std::vector<std::string> sqliteScriptLines(const std::string& script,
                                                  const std::filesystem::path& workingFolder,
                                                  const std::filesystem::path& scratch)
{
    const auto file = scratch / "script.sql";
    std::ofstream(file, std::ios::binary) << script;
    const std::string command =
        "cd '" + workingFolder.string() + "' && sqlite3 -batch :memory: < '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start sqlite3: " << std::strerror(errno);
        return {};
    }
    std::string output;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << output;
    std::vector<std::string> lines;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}
