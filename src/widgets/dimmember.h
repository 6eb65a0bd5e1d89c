// DimMember: a member of the dimension attached to a member tree editor
// (NxDimEditCtrl), whichever cube model the dimension comes from: a store
// model member (olap::Member) or a connection model member (olap::KMember).
// The editor takes and gives members of the model it is attached to in this
// one type, so callers write one path for both models and reach the model's
// own object through member() or kMember().
#pragma once

#include "olap/model/collection.h"

#include <QMetaType>

#include <memory>
#include <string>
#include <vector>

namespace olap {
class Member;
class KMember;
class Dimension;
class KDimension;
}  // namespace olap

class MemberList;

// A value holding a shared pointer to one member, or nothing. Copying is
// cheap; holding one keeps the member's dimension alive (the models' rule).
// Two DimMembers are equal when they hold the same member object: the models
// give one object per member, so that is member identity.
class DimMember {
public:
    DimMember() = default;
    // Implicit on purpose: a vector or collection of either model's members
    // converts element by element.
    DimMember(std::shared_ptr<olap::Member> member);
    DimMember(std::shared_ptr<olap::KMember> member);

    bool isNull() const { return !mMember && !mKMember; }
    explicit operator bool() const { return !isNull(); }
    // The store model's member; nothing for a connection model member.
    const std::shared_ptr<olap::Member>& member() const { return mMember; }
    // The connection model's member; nothing for a store model member.
    const std::shared_ptr<olap::KMember>& kMember() const { return mKMember; }
    // The member object's address: equal for the same member, stable while
    // its dimension lives. Null for nothing.
    const void* identity() const;

    // Requires, for all below: not null (Failure 91 otherwise).
    std::string caption() const;
    std::string uniqueName() const;
    // 0 on the top level of the hierarchy.
    int levelDepth() const;
    int childCount() const;
    // The children in order (MemberList counts from 0 for both models).
    MemberList children() const;
    // The parent member; null on the top level.
    DimMember parent() const;

    friend bool operator==(const DimMember& a, const DimMember& b) { return a.identity() == b.identity(); }

private:
    std::shared_ptr<olap::Member> mMember;
    std::shared_ptr<olap::KMember> mKMember;
};

using DimMembers = std::vector<DimMember>;

// Hashes a DimMember by identity, for unordered containers.
struct DimMemberHash {
    size_t operator()(const DimMember& member) const { return std::hash<const void*>()(member.identity()); }
};

// An ordered list of members of one model, counted from 0 whatever the
// model's own collection counts from. Items are made as they are asked for,
// so a list of 100,000 members costs nothing until read.
class MemberList {
public:
    MemberList() = default;
    explicit MemberList(olap::Collection<olap::Member> members);
    explicit MemberList(olap::Collection<olap::KMember> members);

    // The members of the top level of `dimension`'s first hierarchy.
    static MemberList topMembers(const olap::Dimension& dimension);
    static MemberList topMembers(const olap::KDimension& dimension);

    int count() const { return mStore.count() + mConnection.count(); }
    // The member at `offset`, 0 .. count() - 1. Throws Failure 9 otherwise.
    DimMember at(int offset) const;

private:
    // At most one of the two holds members.
    olap::Collection<olap::Member> mStore;
    olap::Collection<olap::KMember> mConnection;
};

// The number of levels of `dimension`'s first hierarchy.
int firstHierarchyLevelCount(const olap::Dimension& dimension);
int firstHierarchyLevelCount(const olap::KDimension& dimension);

Q_DECLARE_METATYPE(DimMember)
