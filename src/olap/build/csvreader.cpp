#include "olap/build/csvreader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olap {

// The file's bytes, mapped read-only for the reader's lifetime. Mapping
// rather than reading keeps a fact table of gigabytes out of our own memory:
// the kernel pages it in ahead of the reader and drops it behind.
class CsvReader::Mapping {
public:
    explicit Mapping(const std::filesystem::path& file)
    {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            fail(file, errno);
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            const int code = S_ISDIR(info.st_mode) ? EISDIR : errno;
            ::close(fd);
            fail(file, code);
        }
        mSize = static_cast<uint64_t>(info.st_size);
        if (mSize > 0) {
            void* address = ::mmap(nullptr, mSize, PROT_READ, MAP_PRIVATE, fd, 0);
            if (address == MAP_FAILED) {
                const int code = errno;
                ::close(fd);
                fail(file, code);
            }
            ::madvise(address, mSize, MADV_SEQUENTIAL);
            mData = static_cast<const char*>(address);
        }
        ::close(fd);
    }
    ~Mapping()
    {
        if (mData)
            ::munmap(const_cast<char*>(mData), mSize);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    const char* data() const { return mData; }
    uint64_t size() const { return mSize; }

private:
    [[noreturn]] static void fail(const std::filesystem::path& file, int code)
    {
        platform::setLastPlatformError(code);
        const int32_t number = code == ENOENT ? platform::err::kFileNotFound
                               : code == EACCES ? platform::err::kPermissionDenied
                                                : platform::err::kPathFileAccess;
        throw platform::Failure(number, file.string() + ": cannot open the file (" + std::strerror(code) + ")",
                                kCubeBuilderSource);
    }

    const char* mData = nullptr;
    uint64_t mSize = 0;
};

namespace {

// The first ',', '\n' or '\r' in [p, end), or end. Eight bytes at a time:
// plain fields are what fact tables are made of, and this loop is where
// reading them spends its time.
inline const char* findDelimiter(const char* p, const char* const end)
{
    static_assert(std::endian::native == std::endian::little, "the lowest set bit must be the first byte");
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    // Sets the high bit of every zero byte (and maybe of bytes after the
    // first one, which does not matter: only the first is used).
    const auto zeroBytes = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const uint64_t hits =
            zeroBytes(word ^ (kOnes * ',')) | zeroBytes(word ^ (kOnes * '\n')) | zeroBytes(word ^ (kOnes * '\r'));
        if (hits)
            return p + (std::countr_zero(hits) >> 3);
        p += sizeof word;
    }
    while (p < end && *p != ',' && *p != '\n' && *p != '\r')
        ++p;
    return p;
}

}  // namespace

CsvReader::CsvReader(std::filesystem::path file)
    : mPath(std::move(file)), mMapping(std::make_unique<Mapping>(mPath))
{
    mData = mMapping->data();
    mSize = mMapping->size();
    readHeader();
}

CsvReader::~CsvReader() = default;
CsvReader::CsvReader(CsvReader&&) noexcept = default;
CsvReader& CsvReader::operator=(CsvReader&&) noexcept = default;

void CsvReader::readHeader()
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(mData, std::min<uint64_t>(mSize, 3)) == kByteOrderMark)
        mPos = kByteOrderMark.size();
    skipEmptyLines();
    if (mPos >= mSize)
        throwBadInput(mPath, {1, 1}, "the file is empty; expected a header row naming the columns");
    readRecord();
    mHeader.reserve(mFieldCount);
    mColumns.reserve(mFieldCount);
    // By name, so that a header of any width is checked in linear time.
    for (size_t i = 0; i < mFieldCount; ++i) {
        const std::string_view name = field(i);
        if (!mColumns.emplace(name, i).second)
            failAt(i, "the header names column " + inQuotes(name) + " twice");
        mHeader.emplace_back(name);
    }
}

std::optional<size_t> CsvReader::findColumn(std::string_view name) const
{
    const auto found = mColumns.find(std::string(name));
    if (found == mColumns.end())
        return std::nullopt;
    return found->second;
}

bool CsvReader::next()
{
    skipEmptyLines();
    if (mPos >= mSize)
        return false;
    readRecord();
    if (mFieldCount != mHeader.size()) {
        const std::string message = "the record has " + std::to_string(mFieldCount) + " fields; the header has "
                                    + std::to_string(mHeader.size());
        if (mFieldCount > mHeader.size())
            failAt(mHeader.size(), message);
        throwBadInput(mPath, positionAt(mRecordEnd), message);
    }
    return true;
}

std::string_view CsvReader::field(size_t index) const
{
    const FieldSpan& span = mFields[index];
    const char* base = span.unescaped ? mScratch.data() : mData;
    return {base + span.offset, span.size};
}

TextPosition CsvReader::fieldPosition(size_t index) const
{
    return positionAt(mFields[index].start);
}

void CsvReader::failAt(size_t index, std::string_view message, int32_t number) const
{
    throwBadInput(mPath, fieldPosition(index), message, number);
}

TextPosition CsvReader::positionAt(uint64_t offset) const
{
    // Records start at the beginning of a line, so counting from there is
    // exact and never rescans the file.
    return advancePosition({mRecordLine, 1}, std::string_view(mData + mRecordStart, offset - mRecordStart));
}

void CsvReader::skipEmptyLines()
{
    while (mPos < mSize) {
        if (mData[mPos] == '\n') {
            ++mPos;
        } else if (mData[mPos] == '\r' && mPos + 1 < mSize && mData[mPos + 1] == '\n') {
            mPos += 2;
        } else {
            return;
        }
        ++mLine;
    }
}

void CsvReader::readRecord()
{
    mFieldCount = 0;
    mScratch.clear();
    mRecordStart = mPos;
    mRecordLine = mLine;
    bool more = true;
    while (more)
        more = (mPos < mSize && mData[mPos] == '"') ? readQuotedField() : readPlainField();
}

bool CsvReader::readPlainField()
{
    const char* const end = mData + mSize;
    const char* p = findDelimiter(mData + mPos, end);
    // A '\r' that does not end a line is text.
    while (p < end && *p == '\r' && p + 1 < end && p[1] != '\n')
        p = findDelimiter(p + 1, end);
    const uint64_t stop = static_cast<uint64_t>(p - mData);
    addField({mPos, mPos, static_cast<uint32_t>(stop - mPos), false});
    return endField(stop);
}

bool CsvReader::readQuotedField()
{
    const uint64_t start = mPos;
    uint64_t segment = start + 1;
    uint64_t scratchStart = 0;
    bool unescaped = false;
    for (;;) {
        const void* found = std::memchr(mData + segment, '"', mSize - segment);
        if (!found) {
            addField({start, start, 0, false});
            failAt(mFieldCount - 1, "the quoted field that starts here has no closing quote");
        }
        const uint64_t quote = static_cast<uint64_t>(static_cast<const char*>(found) - mData);
        const bool doubled = quote + 1 < mSize && mData[quote + 1] == '"';
        if (doubled && !unescaped) {
            unescaped = true;
            scratchStart = mScratch.size();
            mScratch.append(mData + start + 1, quote + 1 - (start + 1));
        } else if (unescaped) {
            mScratch.append(mData + segment, quote + (doubled ? 1 : 0) - segment);
        }
        if (doubled) {
            segment = quote + 2;
            continue;
        }
        mLine += static_cast<uint64_t>(std::count(mData + start, mData + quote, '\n'));
        if (unescaped)
            addField({start, scratchStart, static_cast<uint32_t>(mScratch.size() - scratchStart), true});
        else
            addField({start, start + 1, static_cast<uint32_t>(quote - start - 1), false});
        const uint64_t after = quote + 1;
        const bool atBoundary = after == mSize || mData[after] == ',' || mData[after] == '\n'
                                || (mData[after] == '\r' && (after + 1 == mSize || mData[after + 1] == '\n'));
        if (!atBoundary)
            throwBadInput(mPath, positionAt(after), "unexpected text after the closing quote of a field");
        return endField(after);
    }
}

// Moves past the delimiter at `at`; true when another field of the same record follows.
bool CsvReader::endField(uint64_t at)
{
    mRecordEnd = at;
    if (at >= mSize) {
        mPos = mSize;
        return false;
    }
    if (mData[at] == ',') {
        mPos = at + 1;
        return true;
    }
    // A line break: "\n", "\r\n", or a '\r' that ends the file.
    mPos = at + (mData[at] == '\r' ? 2 : 1);
    mPos = std::min(mPos, mSize);
    ++mLine;
    return false;
}

}  // namespace olap
