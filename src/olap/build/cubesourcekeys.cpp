#include "olap/build/cubesourcekeys.h"

#include <cstring>

namespace olap {

namespace {

constexpr size_t kFirstCapacity = 64;

uint64_t mix(uint64_t h)
{
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    h ^= h >> 32;
    return h;
}

// Eight bytes at a time; cells are short keys and names, so this stays in
// registers and never calls out.
uint64_t hashText(std::string_view text, uint64_t h)
{
    const char* p = text.data();
    size_t n = text.size();
    while (n >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
        p += 8;
        n -= 8;
    }
    uint64_t tail = 0;
    for (size_t i = 0; i < n; ++i)
        tail |= uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
    return (h ^ tail ^ (uint64_t(text.size()) << 56)) * 0xBF58476D1CE4E5B9ull;
}

uint32_t readSize(const char* at)
{
    uint32_t size;
    std::memcpy(&size, at, sizeof size);
    return size;
}

}  // namespace

MemberKeyCache::MemberKeyCache() : mSlots(kFirstCapacity) {}

uint64_t MemberKeyCache::hashOf(std::span<const std::string_view> parts)
{
    uint64_t h = 0x243F6A8885A308D3ull;
    for (const std::string_view part : parts)
        h = hashText(part, h);
    return mix(h);
}

bool MemberKeyCache::matches(const Slot& slot, std::span<const std::string_view> parts) const
{
    const char* at = mText.data() + slot.offset;
    for (const std::string_view part : parts) {
        const uint32_t size = readSize(at);
        at += sizeof size;
        if (size != part.size() || std::memcmp(at, part.data(), size) != 0)
            return false;
        at += size;
    }
    return true;
}

uint32_t MemberKeyCache::find(std::span<const std::string_view> parts, uint64_t hash) const
{
    const size_t mask = mSlots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = mSlots[i];
        if (slot.key == kNone)
            return kNone;
        if (slot.hash == hash && matches(slot, parts))
            return slot.key;
    }
}

void MemberKeyCache::insert(std::span<const std::string_view> parts, uint64_t hash, uint32_t key)
{
    if (2 * (mSize + 1) > mSlots.size())
        grow();
    const uint64_t offset = mText.size();
    for (const std::string_view part : parts) {
        const auto size = static_cast<uint32_t>(part.size());
        mText.append(reinterpret_cast<const char*>(&size), sizeof size).append(part);
    }
    const size_t mask = mSlots.size() - 1;
    size_t i = hash & mask;
    while (mSlots[i].key != kNone)
        i = (i + 1) & mask;
    mSlots[i] = {hash, offset, key};
    ++mSize;
}

void MemberKeyCache::grow()
{
    std::vector<Slot> old(mSlots.size() * 2);
    old.swap(mSlots);
    const size_t mask = mSlots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == kNone)
            continue;
        size_t i = slot.hash & mask;
        while (mSlots[i].key != kNone)
            i = (i + 1) & mask;
        mSlots[i] = slot;
    }
}

}  // namespace olap
