#include "olap/store/storemember.h"

namespace olap {

std::shared_ptr<Member> Member::child(int number) const
{
    const MemberRange children = childRange();
    return mTree.member(mHierarchy, children.first + checkedOffset("child", number, 1, int(children.count)));
}

}  // namespace olap
