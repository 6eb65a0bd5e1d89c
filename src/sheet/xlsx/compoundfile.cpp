#include "sheet/xlsx/compoundfile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace sheet {

namespace {

constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::string utf16le(std::string_view ascii)
{
    std::string text;
    for (char c : ascii) {
        text += c;
        text += '\0';
    }
    return text;
}

}  // namespace

bool isCompoundFile(std::string_view header)
{
    return header.size() >= sizeof(kSignature) && std::memcmp(header.data(), kSignature, sizeof(kSignature)) == 0;
}

bool holdsEncryptedPackage(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    const std::string package = utf16le("EncryptedPackage");
    const std::string info = utf16le("EncryptionInfo");
    constexpr size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk + package.size());
    size_t carry = 0;
    bool sawPackage = false;
    bool sawInfo = false;
    while (in && !(sawPackage && sawInfo)) {
        in.read(buffer.data() + carry, static_cast<std::streamsize>(kChunk));
        const size_t filled = carry + static_cast<size_t>(in.gcount());
        const std::string_view window(buffer.data(), filled);
        sawPackage = sawPackage || window.find(package) != std::string_view::npos;
        sawInfo = sawInfo || window.find(info) != std::string_view::npos;
        // Keep the tail so that a name split between two reads is still found.
        carry = std::min(filled, package.size());
        std::memmove(buffer.data(), buffer.data() + filled - carry, carry);
        if (in.gcount() == 0)
            break;
    }
    return sawPackage && sawInfo;
}

}  // namespace sheet
