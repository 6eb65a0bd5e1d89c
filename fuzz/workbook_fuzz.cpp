// Workbooks at the zip level: the input is the whole .xlsx file.
#include "fuzzinput.h"
#include "workbookwalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = fuzz::inputFile("input.xlsx", data, size);
    fuzz::walkWorkbook(file, file.parent_path() / "saved.xlsx");
    return 0;
}
