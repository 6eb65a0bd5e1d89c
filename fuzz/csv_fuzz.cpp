// CSV files as the cube builder reads them: header, every record, every
// field and its place, and the number reading of measure columns.
#include "fuzzinput.h"

#include "olap/build/csvnumber.h"
#include "olap/build/csvreader.h"
#include "platform/core/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.csv", data, size);
    try {
        olap::CsvReader csv(file);
        if (!csv.header().empty())
            static_cast<void>(csv.findColumn(csv.header().back()));
        while (csv.next()) {
            for (size_t i = 0; i < csv.header().size(); ++i) {
                static_cast<void>(csv.fieldPosition(i));
                double value = 0;
                static_cast<void>(olap::parseCsvNumber(csv.field(i), value));
            }
        }
    } catch (const platform::Failure&) {
    }
    return 0;
}
