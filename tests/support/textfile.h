// Whole files for tests: written and read back as they are on disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string textOf(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}
