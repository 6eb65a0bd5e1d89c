// A workbook, one .xlsx file, and the application's collection of open
// workbooks.
#pragma once

#include "sheet/collection.h"

#include <memory>
#include <string>

namespace sheet {

class Charts;
class PivotCaches;
class Worksheets;

class Workbook {
public:
    virtual ~Workbook() = default;

    virtual std::shared_ptr<sheet::Worksheets> Worksheets() = 0;
    // The chart sheets of the workbook in tab order.
    virtual std::shared_ptr<sheet::Charts> Charts() = 0;
    virtual std::shared_ptr<sheet::PivotCaches> PivotCaches() = 0;

    // The file name ("Sales.xlsx"), or "Book<n>" for a workbook not saved yet.
    virtual std::string Name() = 0;
    // The full path of the file; empty for a workbook not saved yet.
    virtual std::string FullName() = 0;

    // Makes this the application's active workbook.
    virtual void Activate() = 0;

    // Writes the workbook back to its file. Only the parts the host changed
    // are rewritten; every other part is copied unchanged. The new file is
    // written beside the old one and renamed over it when complete, so a
    // failure leaves the old file as it was. Throws 1004 for a workbook that
    // has no file yet, and when writing fails (naming the file and reason).
    virtual void Save() = 0;
    // Writes the workbook to `path` the same way; from then on the workbook
    // is that file. An existing file at `path` is replaced.
    virtual void SaveAs(const std::string& path) = 0;

    // Removes the workbook from the application without saving. Objects of
    // the workbook held elsewhere fail with 91 afterwards.
    virtual void Close() = 0;
};

class Workbooks : public Collection<Workbook> {
public:
    // A new workbook with one worksheet, "Sheet1", not yet saved; it becomes
    // the active workbook.
    virtual std::shared_ptr<Workbook> Add() = 0;

    // Opens the .xlsx file at `path` and makes it the active workbook; a file
    // already open is not opened twice. Reads the package's directory and the
    // workbook's sheet list only. Throws 1004 naming the file and the problem
    // for a missing file, a file that is not a zip package, a package without
    // a workbook, malformed XML, or an encrypted workbook. Never writes to
    // the file.
    virtual std::shared_ptr<Workbook> Open(const std::string& path) = 0;
};

}  // namespace sheet
