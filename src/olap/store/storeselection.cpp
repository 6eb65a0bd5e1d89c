#include "olap/store/storeselection.h"

#include "platform/core/failure.h"
#include "olap/model/collection.h"
#include "olap/store/storedimension.h"
#include "olap/store/storemember.h"

#include <algorithm>

namespace olap {

std::shared_ptr<Member> MemberSelection::item(int index) const
{
    // Shares the dimension's ownership, as every pointer the model gives does.
    Member* member = mOrder[checkedOffset("selectedMembers", index, 0, count())];
    return std::shared_ptr<Member>(mOwner.shared_from_this(), member);
}

bool MemberSelection::contains(const std::shared_ptr<Member>& member) const
{
    return member && mMembers.count(member.get()) > 0;
}

bool MemberSelection::add(const std::shared_ptr<Member>& member)
{
    platform::requireObject(member.get(), "selectedMembers member");
    if (member->dimension().get() != &mOwner) {
        throw platform::Failure(platform::err::kInvalidCall,
                                "The member " + member->uniqueName() + " is not a member of the dimension \""
                                    + mOwner.name() + "\"",
                                "olap");
    }
    if (!mMembers.insert(member.get()).second)
        return false;
    mOrder.push_back(member.get());
    return true;
}

bool MemberSelection::remove(const std::shared_ptr<Member>& member)
{
    if (!member || mMembers.erase(member.get()) == 0)
        return false;
    mOrder.erase(std::find(mOrder.begin(), mOrder.end(), member.get()));
    return true;
}

void MemberSelection::clear()
{
    mOrder.clear();
    mMembers.clear();
}

}  // namespace olap
