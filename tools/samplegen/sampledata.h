// The sample store's data: the tables of a small, made-up retail business,
// written as CSV files for the cube definitions in samples/cubes/. The same
// program always writes the same bytes: a fixed seed and our own random
// number generator, no clock, no locale.
#pragma once

#include <filesystem>

namespace samplegen {

// Writes every sample table into `folder` (which must exist):
// months, categories, subcategories, products, stores, customers, measures,
// sales, sales_by_measure, inventory and budget (.csv).
void writeSampleTables(const std::filesystem::path& folder);

}  // namespace samplegen
