// Charts: a chart on a chart sheet or embedded in a worksheet through its
// chart object, and the collections of both.
#pragma once

#include "sheet/collection.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sheet {

class ChartObject;
class Worksheet;

class Chart {
public:
    virtual ~Chart() = default;

    virtual std::string Name() = 0;

    // Moves the chart: kLocationAsObject (2) embeds it in the worksheet named
    // `name`; kLocationAsNewSheet (1) makes it a chart sheet named `name`.
    // Returns the chart at its new place (which becomes the active chart).
    // Throws 1004 for another `where` or an unknown sheet name.
    virtual std::shared_ptr<Chart> Location(int32_t where, const std::string& name) = 0;

    // The chart object holding an embedded chart; null for a chart sheet.
    virtual std::shared_ptr<ChartObject> Parent() = 0;
};

class ChartObject {
public:
    virtual ~ChartObject() = default;

    virtual std::string Name() = 0;
    virtual std::shared_ptr<sheet::Chart> Chart() = 0;

    // Removes the chart object from its sheet and puts it on the
    // application's clipboard, from which Worksheet::Paste places it.
    virtual void Cut() = 0;

    // The worksheet holding the chart object.
    virtual std::shared_ptr<Worksheet> Parent() = 0;
};

// Chart sheets of a workbook in tab order; Add makes a new chart sheet,
// which becomes the application's active chart.
class Charts : public Collection<Chart> {
public:
    virtual std::shared_ptr<Chart> Add() = 0;
};

// The embedded charts of a worksheet.
class ChartObjects : public Collection<ChartObject> {};

}  // namespace sheet
