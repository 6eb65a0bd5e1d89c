// The collections of the two cube object models (the store model and the
// connection model): a count and items addressed by position. Items are made
// when they are asked for, so a level of 100,000 members costs nothing until
// a caller walks it.
//
// Positions start at first(): 1 where the store model's callers count from 1
// (hierarchyList, levelMembers), 0 everywhere else.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace olap {

// Throws the runtime's "subscript out of range" failure (9), naming `what`
// and the positions that exist.
[[noreturn]] void throwBadPosition(std::string_view what, int position, int first, int count);

// The offset (0 .. count - 1) of `position` among `count` items counted from
// `first`. Throws throwBadPosition's failure outside that range.
inline size_t checkedOffset(std::string_view what, int position, int first, int count)
{
    if (position < first || position - first >= count)
        throwBadPosition(what, position, first, count);
    return size_t(position - first);
}

template <class T>
class Collection {
public:
    using Item = std::shared_ptr<T>;
    // Makes the item at offset k (0 .. count - 1), whatever first() is.
    using Maker = std::function<Item(int)>;

    Collection() = default;
    Collection(int count, int first, Maker make, const char* what = "collection")
        : mCount(count), mFirst(first), mMake(std::move(make)), mWhat(what)
    {
    }
    // A collection of items made already.
    Collection(std::vector<Item> items, int first, const char* what = "collection")
        : mCount(int(items.size())), mFirst(first), mWhat(what)
    {
        auto shared = std::make_shared<const std::vector<Item>>(std::move(items));
        mMake = [shared](int k) { return (*shared)[size_t(k)]; };
    }

    int count() const { return mCount; }
    int first() const { return mFirst; }

    // The item at `position` (first() .. first() + count() - 1). Throws
    // Failure 9 outside that range.
    Item item(int position) const { return mMake(int(checkedOffset(mWhat, position, mFirst, mCount))); }

    // Walks the items in order: for (const auto& member : level->levelMembers()).
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Item;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Item;

        Iterator(const Collection* owner, int offset) : mOwner(owner), mOffset(offset) {}
        Item operator*() const { return mOwner->mMake(mOffset); }
        Iterator& operator++()
        {
            ++mOffset;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++mOffset;
            return before;
        }
        bool operator==(const Iterator& other) const { return mOffset == other.mOffset; }

    private:
        const Collection* mOwner;
        int mOffset;
    };

    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, mCount); }

private:
    int mCount = 0;
    int mFirst = 0;
    Maker mMake;
    const char* mWhat = "collection";  // names the collection in failures; a string literal
};

// Objects made on first use and kept as long as their owner, so that asking
// for the same member twice gives the same object: editors check members and
// compare them by identity. Needs no count up front: a dimension whose
// members are read on demand need not know how many there are. Not
// thread-safe; the models are used from one thread.
template <class T>
class LazyObjects {
public:
    // The object at `index`, made by `make()` (returning std::unique_ptr<T>)
    // the first time. The reference stays valid as long as this.
    template <class Make>
    T& get(size_t index, Make&& make)
    {
        if (index >= mObjects.size())
            mObjects.resize(index + 1);
        std::unique_ptr<T>& slot = mObjects[index];
        if (!slot)
            slot = make();
        return *slot;
    }

private:
    std::vector<std::unique_ptr<T>> mObjects;  // grows to the highest index asked for
};

}  // namespace olap
