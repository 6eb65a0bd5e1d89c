// The members checked in a store dimension's member editor.
#pragma once

#include <iterator>
#include <memory>
#include <unordered_set>
#include <vector>

namespace olap {

class Dimension;
class Member;

// An ordered set of members of one Dimension, in the order they were added:
// the member editor adds and removes members as the user checks them, and the
// PivotTable build reads them. Members are compared by identity (the model
// gives one object per member). Owned by its Dimension and valid as long as
// it; positions are 0-based.
class MemberSelection {
public:
    explicit MemberSelection(Dimension& owner) : mOwner(owner) {}
    MemberSelection(const MemberSelection&) = delete;
    MemberSelection& operator=(const MemberSelection&) = delete;

    int count() const { return int(mOrder.size()); }
    // The member at `index` (0 .. count() - 1). Throws Failure 9 otherwise.
    std::shared_ptr<Member> item(int index) const;
    bool contains(const std::shared_ptr<Member>& member) const;

    // Adds `member` at the end unless it is there already; true when added.
    // Throws Failure 91 for nothing and 5 for a member of another dimension.
    bool add(const std::shared_ptr<Member>& member);
    // Removes `member`; true when it was there.
    bool remove(const std::shared_ptr<Member>& member);
    void clear();

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::shared_ptr<Member>;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = value_type;

        Iterator(const MemberSelection* owner, int index) : mOwner(owner), mIndex(index) {}
        value_type operator*() const { return mOwner->item(mIndex); }
        Iterator& operator++()
        {
            ++mIndex;
            return *this;
        }
        bool operator==(const Iterator& other) const { return mIndex == other.mIndex; }

    private:
        const MemberSelection* mOwner;
        int mIndex;
    };
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, count()); }

private:
    // Raw pointers: the members belong to the owning dimension, which owns
    // this selection too; shared pointers here would keep it alive forever.
    Dimension& mOwner;
    std::vector<Member*> mOrder;
    std::unordered_set<const Member*> mMembers;
};

}  // namespace olap
