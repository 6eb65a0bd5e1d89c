// The cube builder's cache from the text a fact gives for a dimension (one
// or more cells) to the member key that text stands for. It is asked once
// per fact and dimension, tens of millions of times for a big fact table,
// so it is an open-addressing table over one block of text: no allocation
// per entry, no pointer chasing, no copy of the cells looked up.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

class MemberKeyCache {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    MemberKeyCache();

    // A hash of the cells `parts`, in order; what find() and insert() take.
    static uint64_t hashOf(std::span<const std::string_view> parts);

    // The key stored for exactly these cells, or kNone.
    uint32_t find(std::span<const std::string_view> parts, uint64_t hash) const;
    // Stores `key` for these cells. Requires: find() returned kNone for them.
    void insert(std::span<const std::string_view> parts, uint64_t hash, uint32_t key);

    size_t size() const { return mSize; }

private:
    struct Slot {
        uint64_t hash = 0;
        uint64_t offset = 0;       // where the entry's cells start in mText
        uint32_t key = kNone;      // kNone: the slot is free
    };

    bool matches(const Slot& slot, std::span<const std::string_view> parts) const;
    void grow();

    std::vector<Slot> mSlots;      // a power of two, at most half full
    std::string mText;             // each entry's cells, each as a 4-byte length and its bytes
    size_t mSize = 0;
};

}  // namespace olap
