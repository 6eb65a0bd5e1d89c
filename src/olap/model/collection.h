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
    Item item(int position) const
    {
        if (position < mFirst || position - mFirst >= mCount)
            throwBadPosition(mWhat, position, mFirst, mCount);
        return mMake(position - mFirst);
    }

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
// compare them by identity. Not thread-safe; the models are used from one
// thread.
template <class T>
class LazyObjects {
public:
    explicit LazyObjects(size_t count = 0) : mCount(count) {}

    size_t size() const { return mCount; }

    // The object at `index` (< size()), made by `make()` the first time.
    template <class Make>
    T& get(size_t index, Make&& make)
    {
        if (mObjects.empty())
            mObjects.resize(mCount);
        std::unique_ptr<T>& slot = mObjects[index];
        if (!slot)
            slot = make();
        return *slot;
    }

private:
    size_t mCount;
    std::vector<std::unique_ptr<T>> mObjects;  // allocated on the first get()
};

}  // namespace olap
