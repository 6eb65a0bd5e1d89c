// A pivot field: one level of a placed dimension, or one data field.
#pragma once

#include "sheet/collection.h"
#include "sheet/constants.h"
#include "sheet/variant.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class PivotField {
public:
    virtual ~PivotField() = default;

    // "[Dimension].[Level]" for a level field; the measure's unique name for
    // a data field.
    virtual std::string Name() = 0;

    // The orientation of the cube field the pivot field belongs to
    // (kRowField, kColumnField, kPageField, kDataField, or kHidden).
    virtual int32_t Orientation() = 0;

    // Which subtotals the field shows, in the host's fixed order (automatic,
    // sum, count, average, max, min, product, count numbers, standard
    // deviation, standard deviation of a population, variance, variance of a
    // population). Twelve false values switch subtotals off.
    virtual std::array<bool, kSubtotalCount> Subtotals() = 0;
    virtual void Subtotals(const std::array<bool, kSubtotalCount>& subtotals) = 0;

    // The members of this level that are hidden, as a one-dimensional array
    // of unique names; empty elements are ignored. Throws 13 for a
    // two-dimensional array and 1004 naming the member for a name that is not
    // a member of this level; the list is then left as it was.
    virtual VariantArray HiddenItemsList() = 0;
    virtual void HiddenItemsList(const VariantArray& members) = 0;

    // The selection of a page field: the members whose facts the table
    // counts. CurrentPageName is the selected member's unique name, "(All)"
    // while none is selected (all are counted) and "(Multiple Items)" while
    // several are; setting a unique name selects that member alone, "(All)"
    // or "" selects none. CurrentPageList is the selection as a
    // one-dimensional array of unique names (empty: all). Both throw 1004 on
    // a field that is not on the pages, and naming the member for a name the
    // dimension lacks (the selection is then left as it was); the list throws
    // 13 for a two-dimensional array.
    virtual std::string CurrentPageName() = 0;
    virtual void CurrentPageName(const std::string& member) = 0;
    virtual VariantArray CurrentPageList() = 0;
    virtual void CurrentPageList(const VariantArray& members) = 0;

    // The number format of a data field's cells ("0.00"). Throws 1004 on a
    // level field.
    virtual std::string NumberFormat() = 0;
    virtual void NumberFormat(const std::string& format) = 0;
};

class PivotFields : public Collection<PivotField> {
public:
    using Collection<PivotField>::Item;
    // The field named `name` (exact comparison). Throws 1004 when none is.
    virtual std::shared_ptr<PivotField> Item(const std::string& name) = 0;
};

}  // namespace sheet
