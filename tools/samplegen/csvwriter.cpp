#include "csvwriter.h"

#include "platform/core/failure.h"

#include <cstdlib>

namespace samplegen {

CsvWriter::CsvWriter(const std::filesystem::path& file, std::initializer_list<std::string_view> header)
    : mOut(file, std::ios::binary | std::ios::trunc), mFile(file)
{
    if (!mOut)
        throw platform::Failure(platform::err::kPathFileAccess, file.string() + ": cannot write the file", "samplegen");
    for (const std::string_view name : header)
        field(name);
    endRecord();
}

CsvWriter& CsvWriter::field(std::string_view text)
{
    if (!mFirst)
        mOut << ',';
    mFirst = false;
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        mOut << text;
        return *this;
    }
    mOut << '"';
    for (const char c : text)
        mOut << (c == '"' ? "\"\"" : std::string_view(&c, 1));
    mOut << '"';
    return *this;
}

CsvWriter& CsvWriter::field(int64_t number)
{
    return field(std::to_string(number));
}

CsvWriter& CsvWriter::cents(int64_t amount)
{
    const int64_t whole = std::llabs(amount) / 100;
    const int64_t rest = std::llabs(amount) % 100;
    return field((amount < 0 ? "-" : "") + std::to_string(whole) + (rest < 10 ? ".0" : ".") + std::to_string(rest));
}

void CsvWriter::endRecord()
{
    mOut << '\n';
    mFirst = true;
    if (!mOut)
        throw platform::Failure(platform::err::kPathFileAccess, mFile.string() + ": cannot write the file", "samplegen");
}

}  // namespace samplegen
