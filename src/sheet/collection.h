// The shape every collection of the host interface shares: Count() and
// Item(i) with 1-based indices, and enumeration in item order.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>

namespace sheet {

// A collection of T objects. Item(i) for i outside 1 .. Count() throws 9.
// The object that returns a collection keeps it, so a loop such as
// `for (auto sheet : *book->Worksheets())` is safe while `book` is held.
// Enumeration calls Item(1) .. Item(Count()) as the loop advances, so a
// collection that grows during a loop is seen as it was when the loop began.
template <class T>
class Collection {
public:
    virtual ~Collection() = default;

    virtual int32_t Count() = 0;
    virtual std::shared_ptr<T> Item(int32_t index) = 0;

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::shared_ptr<T>;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::shared_ptr<T>;

        Iterator(Collection* owner, int32_t index) : mOwner(owner), mIndex(index) {}
        std::shared_ptr<T> operator*() const { return mOwner->Item(mIndex); }
        Iterator& operator++()
        {
            ++mIndex;
            return *this;
        }
        bool operator==(const Iterator& other) const { return mIndex == other.mIndex; }

    private:
        Collection* mOwner;
        int32_t mIndex;
    };

    Iterator begin() { return Iterator(this, 1); }
    Iterator end() { return Iterator(this, Count() + 1); }
};

}  // namespace sheet
