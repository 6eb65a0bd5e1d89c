#include "widgets/membersearchindex.h"

#include <QStringMatcher>

QString foldForSearch(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString kept;
    kept.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            kept.append(c);
    }
    return kept.toCaseFolded();
}

void MemberSearchIndex::setTree(MemberList top, int levelCount)
{
    mTop = std::move(top);
    mLevelCount = levelCount;
    mBuilt = false;
    mMembers.clear();
    mParents.clear();
    mFolded.clear();
    mLastText.clear();
    mLastMatches.clear();
}

void MemberSearchIndex::build()
{
    mBuilt = true;
    add(mTop, -1, 0);
}

void MemberSearchIndex::add(const MemberList& members, int parent, int depth)
{
    for (int i = 0; i < members.count(); ++i) {
        DimMember member = members.at(i);
        const int position = int(mMembers.size());
        mFolded.push_back(foldForSearch(QString::fromStdString(member.caption())));
        mParents.push_back(parent);
        mMembers.push_back(member);
        // The deepest level has no children: asking would make objects.
        if (depth + 1 < mLevelCount)
            add(member.children(), position, depth + 1);
    }
}

std::vector<int> MemberSearchIndex::find(const QString& text)
{
    const QString folded = foldForSearch(text);
    if (folded.isEmpty()) {
        mLastText.clear();
        mLastMatches.clear();
        return {};
    }
    if (!mBuilt)
        build();
    const QStringMatcher matcher(folded);
    std::vector<int> matches;
    const auto test = [&](int position) {
        if (matcher.indexIn(mFolded[size_t(position)]) >= 0)
            matches.push_back(position);
    };
    if (!mLastText.isEmpty() && folded.contains(mLastText)) {
        for (const int position : mLastMatches)
            test(position);
    } else {
        for (int position = 0; position < size(); ++position)
            test(position);
    }
    mLastText = folded;
    mLastMatches = matches;

    // Matches and their ancestors; pre-order positions sort into tree order.
    std::vector<bool> shown(mMembers.size(), false);
    for (int position : matches) {
        for (int at = position; at >= 0 && !shown[size_t(at)]; at = parent(at))
            shown[size_t(at)] = true;
    }
    std::vector<int> found;
    for (int position = 0; position < size(); ++position) {
        if (shown[size_t(position)])
            found.push_back(position);
    }
    return found;
}
