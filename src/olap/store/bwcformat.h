// The layout of a store cube file (.BWC), shared by its writer and reader.
// All integers little-endian. A text is a uint32 byte count and UTF-8 bytes.
//
// Header, 28 bytes:
//    0  8 bytes  magic 0x89 'B' 'W' 'C' '\r' '\n' 0x1A '\n' (catches files
//                that were mangled as text)
//    8  uint32   format version (kVersion); bytes 0-11 keep this meaning in
//                every version, so any reader can tell a newer file
//   12  uint32   flags, 0 (reserved)
//   16  uint64   payload length in bytes; the file ends with the payload
//   24  uint32   CRC-32 (the IEEE polynomial, as zlib computes it) of the payload
//
// Payload:
//   text    store cube name N
//   text    catalog name of N.cub
//   uint8   measures special (0 or 1)
//   text    measure-list dimension name (empty: none)
//   text    cube name (in N.cub)
//   uint64  fact count (for information)
//   uint32  dimension count, then per dimension:
//       text name, text field name, uint8 type (0..3), uint32 key count,
//       uint32 hierarchy count (>= 1), then per hierarchy:
//           text name
//           uint32 level count (>= 1), then per level, top first:
//               text name, uint8 type (0 regular, 1 all), uint8 named by key,
//               uint32 member count
//           uint32 member count (the sum of the levels' counts), then per
//           member, level by level, top first, the children of one parent
//           next to each other:
//               int32 parent (index in this list, -1 on the top level),
//               uint16 level, text name, text caption, text unique name
//   uint32  measure count, then per measure:
//       text name, uint8 aggregation (0..4), text format string
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace olap::bwcformat {

inline constexpr char kMagic[8] = {'\x89', 'B', 'W', 'C', '\r', '\n', '\x1a', '\n'};
inline constexpr uint32_t kVersion = 1;
inline constexpr size_t kHeaderSize = 28;

uint32_t crc32(std::string_view bytes);

// Appends little-endian values and texts.
class ByteWriter {
public:
    void u8(uint8_t value) { mBytes.push_back(char(value)); }
    void u16(uint16_t value) { put(value, 2); }
    void u32(uint32_t value) { put(value, 4); }
    void i32(int32_t value) { put(uint32_t(value), 4); }
    void u64(uint64_t value) { put(value, 8); }
    void text(std::string_view value);

    const std::string& bytes() const { return mBytes; }

private:
    void put(uint64_t value, int size);
    std::string mBytes;
};

// Reads what ByteWriter wrote; every read past the end, and every count that
// cannot fit in what is left, throws the store's "damaged" failure naming
// `file`.
class ByteReader {
public:
    ByteReader(std::string_view bytes, const std::filesystem::path& file) : mBytes(bytes), mFile(file) {}

    uint8_t u8() { return uint8_t(get(1)); }
    uint16_t u16() { return uint16_t(get(2)); }
    uint32_t u32() { return uint32_t(get(4)); }
    int32_t i32() { return int32_t(uint32_t(get(4))); }
    uint64_t u64() { return get(8); }
    std::string text();
    // A count of items that take at least `minBytesEach` bytes each.
    uint32_t count(size_t minBytesEach);

    bool atEnd() const { return mAt == mBytes.size(); }
    [[noreturn]] void damaged(const std::string& what) const;

private:
    uint64_t get(int size);

    std::string_view mBytes;
    const std::filesystem::path& mFile;
    size_t mAt = 0;
};

}  // namespace olap::bwcformat
