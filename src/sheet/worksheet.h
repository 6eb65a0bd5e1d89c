// A worksheet of a workbook, and the workbook's collection of worksheets.
#pragma once

#include "sheet/collection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class ChartObjects;
class PivotTable;
class PivotTables;
class Range;
class Workbook;

class Worksheet {
public:
    virtual ~Worksheet() = default;

    // The tab name. Setting it throws 1004 for a name that is empty, longer
    // than 31 characters, holds one of [ ] : * ? / \, starts or ends with an
    // apostrophe, or is taken by another sheet of the workbook (compared
    // without regard to case).
    virtual std::string Name() = 0;
    virtual void Name(const std::string& name) = 0;

    // kSheetVisible (-1), kSheetHidden (0) or kSheetVeryHidden (2). Setting
    // any other value throws 1004, and so does hiding the last visible sheet.
    virtual int32_t Visible() = 0;
    virtual void Visible(int32_t state) = 0;

    // True when the sheet's contents are protected. Read from the sheet's
    // protection element the first time it is asked.
    virtual bool ProtectContents() = 0;

    // The range at `address` (A1 style: "C5", "$C$5", "A1:B2", "A:C", "1:4").
    // Throws 1004 for a text that is not an address.
    virtual std::shared_ptr<sheet::Range> Range(const std::string& address) = 0;

    // The pivot tables on the sheet: those the file holds and those made since.
    virtual std::shared_ptr<sheet::PivotTables> PivotTables() = 0;
    // The pivot table named `name` (exact comparison). Throws 1004 when none is.
    virtual std::shared_ptr<PivotTable> PivotTables(const std::string& name) = 0;

    // Makes this the active sheet of its workbook (and the workbook the active
    // workbook). Throws 1004 for a hidden sheet.
    virtual void Select() = 0;
    virtual void Activate() = 0;

    // Places what the application's clipboard holds onto this sheet at
    // `destination` (a range of this sheet). Throws 1004 when the clipboard is
    // empty or the destination lies on another sheet.
    virtual void Paste(const std::shared_ptr<sheet::Range>& destination) = 0;

    // Every column of the sheet, as one range (for AutoFit).
    virtual std::shared_ptr<sheet::Range> Columns() = 0;

    // The embedded charts the host placed on this sheet.
    virtual std::shared_ptr<sheet::ChartObjects> ChartObjects() = 0;

    // The workbook holding the sheet. Throws 91 when it was closed.
    virtual std::shared_ptr<Workbook> Parent() = 0;
};

// The worksheets of a workbook in tab order (chart sheets are not among them).
class Worksheets : public Collection<Worksheet> {
public:
    using Collection<Worksheet>::Item;
    // The worksheet named `name` (without regard to case). Throws 9 when none is.
    virtual std::shared_ptr<Worksheet> Item(const std::string& name) = 0;

    // Adds a new worksheet named "Sheet<n>" (n one above the highest such
    // number in use) right after `after`, or before the active sheet when
    // `after` is null, and makes it the active sheet. Returns the new sheet.
    // Throws 1004 when `after` belongs to another workbook.
    virtual std::shared_ptr<Worksheet> Add(const std::shared_ptr<Worksheet>& after = nullptr) = 0;
};

}  // namespace sheet
