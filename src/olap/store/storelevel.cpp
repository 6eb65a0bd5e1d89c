#include "olap/store/storelevel.h"

#include "olap/store/storedimension.h"
#include "olap/store/storemember.h"

namespace olap {

Level::Level(Dimension& owner, size_t hierarchy, size_t index) : mOwner(owner), mHierarchy(hierarchy), mIndex(index) {}

const LevelInfo& Level::info() const { return mOwner.info().hierarchies[mHierarchy].levels[mIndex]; }

const std::string& Level::name() const { return info().name; }
olap::LevelType Level::LevelType() const { return info().type; }
int Level::depth() const { return int(mIndex); }
int Level::levelMemberTotal() const { return int(info().memberCount); }
int Level::memberCount() const { return int(info().memberCount); }

Collection<Member> Level::levelMembers() const
{
    const size_t hierarchy = mHierarchy;
    const size_t first = info().firstMember;
    return Collection<Member>(
        levelMemberTotal(), 1,
        [owner = mOwner.self(), hierarchy, first](int k) {
            return owner->share(owner->memberObject(hierarchy, first + size_t(k)));
        },
        "levelMembers");
}

std::shared_ptr<Level> Level::childLevel() const
{
    if (mIndex + 1 >= mOwner.info().hierarchies[mHierarchy].levels.size())
        return nullptr;
    return mOwner.share(mOwner.levelObject(mHierarchy, mIndex + 1));
}

std::shared_ptr<Hierarchy> Level::hierarchy() const { return mOwner.share(mOwner.hierarchyObject(mHierarchy)); }
std::shared_ptr<Dimension> Level::dimension() const { return mOwner.self(); }

}  // namespace olap
