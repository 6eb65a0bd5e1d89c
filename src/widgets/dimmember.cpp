#include "widgets/dimmember.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"

DimMember::DimMember(std::shared_ptr<olap::Member> member) : mMember(std::move(member)) {}
DimMember::DimMember(std::shared_ptr<olap::KMember> member) : mKMember(std::move(member)) {}

const void* DimMember::identity() const
{
    if (mMember)
        return mMember.get();
    return mKMember.get();
}

std::string DimMember::caption() const
{
    if (mMember)
        return mMember->caption();
    return platform::requireObject(mKMember.get(), "member").caption();
}

std::string DimMember::uniqueName() const
{
    if (mMember)
        return mMember->uniqueName();
    return platform::requireObject(mKMember.get(), "member").uniqueName();
}

int DimMember::levelDepth() const
{
    if (mMember)
        return mMember->level()->depth();
    return platform::requireObject(mKMember.get(), "member").levelDepth();
}

int DimMember::childCount() const
{
    if (mMember)
        return mMember->childCount();
    return platform::requireObject(mKMember.get(), "member").childCount();
}

MemberList DimMember::children() const
{
    if (mMember)
        return MemberList(mMember->children());
    return MemberList(platform::requireObject(mKMember.get(), "member").children());
}

DimMember DimMember::parent() const
{
    if (mMember)
        return DimMember(mMember->parent());
    return DimMember(platform::requireObject(mKMember.get(), "member").parent());
}

MemberList::MemberList(olap::Collection<olap::Member> members) : mStore(std::move(members)) {}
MemberList::MemberList(olap::Collection<olap::KMember> members) : mConnection(std::move(members)) {}

MemberList MemberList::topMembers(const olap::Dimension& dimension)
{
    return MemberList(dimension.hierarchy(1)->level(1)->levelMembers());
}

MemberList MemberList::topMembers(const olap::KDimension& dimension)
{
    return MemberList(dimension.hierarchies().item(0)->levels().item(0)->members());
}

DimMember MemberList::at(int offset) const
{
    if (mStore.count() > 0)
        return DimMember(mStore.item(mStore.first() + offset));
    return DimMember(mConnection.item(mConnection.first() + offset));
}

int firstHierarchyLevelCount(const olap::Dimension& dimension) { return dimension.hierarchy(1)->levelCount(); }

int firstHierarchyLevelCount(const olap::KDimension& dimension)
{
    return dimension.hierarchies().item(0)->levels().count();
}
