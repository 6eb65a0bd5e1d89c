// Looking into and acting on a member editor as the user would.
#pragma once

#include "widgets/dimmember.h"

#include <string>
#include <vector>

class NxDimEditCtrl;

using Captions = std::vector<std::string>;

// The member of the editor's dimension with caption `caption` (searched
// depth first from the top level); fails the test when there is none.
DimMember memberNamed(const NxDimEditCtrl* editor, const std::string& caption);
// The checked members' captions, in the order they were checked.
Captions checkedCaptions(const NxDimEditCtrl* editor);
// Unchecks every checked member.
void uncheckAll(NxDimEditCtrl* editor);
void check(NxDimEditCtrl* editor, const Captions& captions, bool uncheck = false);
// Right-clicks the row of `member`, opening its ancestors first.
void rightClick(NxDimEditCtrl* editor, const DimMember& member);
