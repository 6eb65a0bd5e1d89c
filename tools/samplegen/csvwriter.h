// Writing CSV files the cube builder reads: one header, then records; a
// field is quoted only when it must be (it holds ',', '"' or a line break).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>

namespace samplegen {

class CsvWriter {
public:
    // Creates `file` and writes the header. Throws Failure when it cannot.
    CsvWriter(const std::filesystem::path& file, std::initializer_list<std::string_view> header);

    CsvWriter& field(std::string_view text);
    CsvWriter& field(int64_t number);
    // A money amount given in cents, written with two decimals ("12.05").
    CsvWriter& cents(int64_t amount);
    void endRecord();

private:
    std::ofstream mOut;
    std::filesystem::path mFile;
    bool mFirst = true;
};

}  // namespace samplegen
