// The spreadsheet host's application object: the root of the object model the
// wizard drives (workbooks, worksheets, pivot caches and tables, charts).
#pragma once

namespace sheet {

// Abstract so that the wizard depends on the interface only; the host program
// decides which implementation it hands to the control. Shared ownership: the
// host creates it, the control holds a reference until it is destroyed.
class Application {
public:
    virtual ~Application() = default;
};

}  // namespace sheet
