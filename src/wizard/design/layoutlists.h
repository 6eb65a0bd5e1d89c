#pragma once

// The four layout lists lstCubeDetails(0..3) of the dimension layout step,
// by what each holds. The numbers are the lists' indices.
enum LayoutList : int {
    kUnselectedList = 0,
    kBackgroundList = 1,  // page fields
    kRowsList = 2,
    kColumnsList = 3,
    kLayoutListCount = 4,
};
