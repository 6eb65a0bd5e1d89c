// The store model: a cube of the application store (Cube) with its
// dimensions, hierarchies, levels and members, and the selection of members
// a member editor keeps per dimension. One include for its users.
//
// Counting: the positions callers give are 1-based (dimension(i),
// timeDimension(i), hierarchyList, hierarchy(i), level(n), levelMembers,
// child(i)); selectedMembers counts from 0.
#pragma once

#include "olap/store/storecube.h"
#include "olap/store/storedimension.h"
#include "olap/store/storelevel.h"
#include "olap/store/storemember.h"
#include "olap/store/storeselection.h"
