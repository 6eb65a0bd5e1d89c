#include "olap/store/bwcformat.h"

#include "platform/core/failure.h"
#include "olap/store/storefiles.h"

#include <array>

namespace olap::bwcformat {

namespace {

std::array<uint32_t, 256> makeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

}  // namespace

uint32_t crc32(std::string_view bytes)
{
    static const std::array<uint32_t, 256> table = makeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (char byte : bytes)
        c = table[(c ^ uint8_t(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void ByteWriter::put(uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        mBytes.push_back(char((value >> (8 * i)) & 0xFF));
}

void ByteWriter::text(std::string_view value)
{
    u32(uint32_t(value.size()));
    mBytes.append(value);
}

uint64_t ByteReader::get(int size)
{
    if (mBytes.size() - mAt < size_t(size))
        damaged("it ends early");
    uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint64_t(uint8_t(mBytes[mAt + size_t(i)])) << (8 * i);
    mAt += size_t(size);
    return value;
}

std::string ByteReader::text()
{
    const uint32_t length = u32();
    if (mBytes.size() - mAt < length)
        damaged("it ends early");
    std::string value(mBytes.substr(mAt, length));
    mAt += length;
    return value;
}

uint32_t ByteReader::count(size_t minBytesEach)
{
    const uint32_t value = u32();
    if (minBytesEach > 0 && value > (mBytes.size() - mAt) / minBytesEach)
        damaged("a count is larger than the file");
    return value;
}

void ByteReader::damaged(const std::string& what) const
{
    storeFailure(platform::err::kPathFileAccess, mFile, "the store cube file is damaged (" + what + ")");
}

}  // namespace olap::bwcformat
