// The spreadsheet host's application object: the root of the object model the
// wizard drives (workbooks, worksheets, ranges, pivot caches and tables, cube
// and pivot fields, charts). Including this header gives the whole interface.
//
// Conventions of the interface:
// - Abstract classes with the members' given names. A property is a pair of
//   overloads: `Name()` reads it, `Name(value)` writes it; read-only
//   properties have only the first.
// - Objects are passed and returned as std::shared_ptr. A returned pointer may
//   be null only where the member says so (ActiveWorkbook, ActiveChart).
//   The same object is returned for the same sheet or workbook each time, so
//   pointers can be compared.
// - Collections have Count() and Item(i) with i from 1 to Count(), and can be
//   enumerated with a range-based for (collection.h).
// - Variant arrays are sheet::VariantArray (variant.h).
// - Every failing call throws platform::Failure with source "sheet" and the
//   number its kind of failure has (failures.h): 9, 13, 91, 445 or 1004.
// - Not thread-safe: one thread drives the host, as the wizard does.
#pragma once

#include "sheet/chart.h"
#include "sheet/constants.h"
#include "sheet/cubefield.h"
#include "sheet/failures.h"
#include "sheet/pivotcache.h"
#include "sheet/pivotfield.h"
#include "sheet/pivottable.h"
#include "sheet/range.h"
#include "sheet/variant.h"
#include "sheet/workbook.h"
#include "sheet/worksheet.h"

#include <memory>
#include <string>

namespace sheet {

// Abstract so that the wizard depends on the interface only; the host program
// decides which implementation it hands to the control (createApplication()
// in hostapplication.h makes the real one). Shared ownership: the host
// creates it, the control holds a reference until it is destroyed.
class Application {
public:
    virtual ~Application() = default;

    // The host's version text, kHostVersion ("10.0").
    virtual std::string Version() = 0;

    // Whether the host redraws as it works. The host keeps the value; with no
    // screen of its own, nothing else depends on it.
    virtual bool ScreenUpdating() = 0;
    virtual void ScreenUpdating(bool on) = 0;

    // The workbook last opened, added or activated; null when none is open.
    virtual std::shared_ptr<Workbook> ActiveWorkbook() = 0;

    virtual std::shared_ptr<sheet::Workbooks> Workbooks() = 0;

    // The chart sheets of the active workbook. Throws 91 when no workbook is
    // open.
    virtual std::shared_ptr<sheet::Charts> Charts() = 0;

    // The chart last added or moved; null when there is none.
    virtual std::shared_ptr<Chart> ActiveChart() = 0;
};

}  // namespace sheet
