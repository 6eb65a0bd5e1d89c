#include "widgets/memberchecks.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"

#include <algorithm>

MemberChecks::MemberChecks(std::shared_ptr<olap::Dimension> dimension) : mDimension(std::move(dimension))
{
    platform::requireObject(mDimension.get(), "dimension");
}

MemberChecks::MemberChecks(std::shared_ptr<olap::KDimension> dimension) : mKDimension(std::move(dimension))
{
    platform::requireObject(mKDimension.get(), "dimension");
}

int MemberChecks::count() const { return mDimension ? mDimension->selectedMembers().count() : int(mOrder.size()); }

bool MemberChecks::contains(const DimMember& member) const
{
    if (mDimension)
        return mDimension->selectedMembers().contains(member.member());
    return mSet.count(member.identity()) > 0;
}

DimMembers MemberChecks::members() const
{
    if (!mDimension)
        return mOrder;
    DimMembers result;
    result.reserve(size_t(count()));
    for (const std::shared_ptr<olap::Member>& member : mDimension->selectedMembers())
        result.emplace_back(member);
    return result;
}

// Checking every member before changing anything keeps a refused call from
// leaving half of it applied.
void MemberChecks::requireOwnMembers(const DimMembers& members) const
{
    for (const DimMember& member : members) {
        const bool own = mDimension ? member.member() && member.member()->dimension() == mDimension
                                    : member.kMember() && mKDimension && member.kMember()->dimension() == mKDimension;
        if (own)
            continue;
        const std::string name = member.isNull() ? std::string("(nothing)") : member.uniqueName();
        const std::string dimension = mDimension ? mDimension->name() : mKDimension ? mKDimension->name() : "";
        throw platform::Failure(platform::err::kInvalidCall,
                                "The member " + name + " is not a member of the dimension \"" + dimension + "\"",
                                "widgets");
    }
}

int MemberChecks::add(const DimMembers& members)
{
    requireOwnMembers(members);
    int added = 0;
    if (mDimension) {
        for (const DimMember& member : members)
            added += mDimension->selectedMembers().add(member.member()) ? 1 : 0;
        return added;
    }
    for (const DimMember& member : members) {
        if (mSet.insert(member.identity()).second) {
            mOrder.push_back(member);
            ++added;
        }
    }
    return added;
}

int MemberChecks::remove(const DimMembers& members)
{
    requireOwnMembers(members);
    if (mDimension)
        return removeFromSelection(members);
    std::unordered_set<const void*> gone;
    for (const DimMember& member : members) {
        if (mSet.erase(member.identity()) > 0)
            gone.insert(member.identity());
    }
    if (!gone.empty())
        std::erase_if(mOrder, [&gone](const DimMember& member) { return gone.count(member.identity()) > 0; });
    return int(gone.size());
}

// The selection removes one member in linear time; unchecking a whole level
// of a large dimension one by one would be quadratic, so a large removal
// rebuilds the selection from what stays, in its order.
int MemberChecks::removeFromSelection(const DimMembers& members)
{
    olap::MemberSelection& selection = mDimension->selectedMembers();
    constexpr size_t kOneByOne = 32;
    int removed = 0;
    if (members.size() <= kOneByOne) {
        for (const DimMember& member : members)
            removed += selection.remove(member.member()) ? 1 : 0;
        return removed;
    }
    std::unordered_set<const void*> gone;
    for (const DimMember& member : members)
        gone.insert(member.identity());
    DimMembers kept;
    for (const std::shared_ptr<olap::Member>& member : selection) {
        if (gone.count(member.get()) > 0)
            ++removed;
        else
            kept.emplace_back(member);
    }
    if (removed == 0)
        return 0;
    selection.clear();
    for (const DimMember& member : kept)
        selection.add(member.member());
    return removed;
}

void MemberChecks::clear()
{
    if (mDimension)
        mDimension->selectedMembers().clear();
    mOrder.clear();
    mSet.clear();
}
