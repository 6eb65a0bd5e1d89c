#include "membertree.h"

#include "widgets/membertreemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

DimMember find(const MemberList& members, const std::string& caption)
{
    for (int i = 0; i < members.count(); ++i) {
        const DimMember member = members.at(i);
        if (member.caption() == caption)
            return member;
        if (const DimMember below = find(member.children(), caption))
            return below;
    }
    return {};
}

}  // namespace

DimMember memberNamed(const NxDimEditCtrl* editor, const std::string& caption)
{
    const MemberList top = editor->dimension() ? MemberList::topMembers(*editor->dimension())
                                               : MemberList::topMembers(*editor->kDimension());
    const DimMember member = find(top, caption);
    EXPECT_FALSE(member.isNull()) << "no member " << caption;
    return member;
}

Captions checkedCaptions(const NxDimEditCtrl* editor)
{
    Captions captions;
    for (const DimMember& member : editor->checkedMembers())
        captions.push_back(member.caption());
    return captions;
}

void uncheckAll(NxDimEditCtrl* editor) { editor->checkMembers(editor->checkedMembers(), true); }

void check(NxDimEditCtrl* editor, const Captions& captions, bool uncheck)
{
    DimMembers members;
    for (const std::string& caption : captions)
        members.push_back(memberNamed(editor, caption));
    editor->checkMembers(members, uncheck);
}

void rightClick(NxDimEditCtrl* editor, const DimMember& member)
{
    const DimMember parent = member.parent();
    if (!parent.isNull())
        editor->setMemberDrilled(parent, true);
    QTreeView* tree = editor->treeView();
    const QModelIndex index = editor->treeModel()->indexOf(member);
    ASSERT_TRUE(index.isValid());
    tree->scrollTo(index);
    const QPoint position = tree->visualRect(index).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, tree->viewport()->mapToGlobal(position));
    QApplication::sendEvent(tree->viewport(), &event);
}
