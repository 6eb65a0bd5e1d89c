// A range of cells on one worksheet: a cell, a rectangle, whole columns or
// whole rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class Worksheet;

class Range {
public:
    virtual ~Range() = default;

    // Makes this range the selection of its worksheet (and activates the
    // worksheet, as selecting on a sheet shows it).
    virtual void Select() = 0;

    // The range of the same size `rowOffset` rows down and `columnOffset`
    // columns right (negative: up, left). Throws 1004 when it would leave the
    // sheet.
    virtual std::shared_ptr<Range> Offset(int32_t rowOffset, int32_t columnOffset) = 0;

    // Sets the width of every column of this range to fit what the host wrote
    // into it. Throws 1004 unless the range is whole columns.
    virtual void AutoFit() = 0;

    // The absolute address, "$C$5", "$A$1:$B$2", "$A:$C" or "$1:$4".
    virtual std::string Address() = 0;
    // Top-left cell, 1-based.
    virtual int32_t Row() = 0;
    virtual int32_t Column() = 0;
    // The worksheet holding the range. Throws 91 when it was closed.
    virtual std::shared_ptr<Worksheet> Parent() = 0;
};

}  // namespace sheet
