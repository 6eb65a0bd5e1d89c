// A stored measure's values in memory, in the form its cube file keeps them.
//
// Most measures are whole numbers or amounts with a few decimals (units,
// cents). Such a column is held as signed integers of 1, 2 or 4 bytes that
// are the values times 10^decimals, the type's smallest integer meaning "no
// value": 1 or 2 bytes a fact instead of 8, so a third of the memory to fill
// when the column is read, to hold, and to scan. Any other column is held
// as doubles (NaN: no value).
//
// A compact column gives back exactly the doubles it was made from: the
// builder keeps the compact form only when every value decodes bit for bit
// (decodeValue below), and everything that reads a column decodes with it.
#pragma once

#include "olap/cube/facttable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace olap {

// Decimals a compact column may have: 10^9 times a value must still fit in 4 bytes.
inline constexpr int kMaxDecimals = 9;

struct MeasureColumn {
    std::variant<Column<double>, Column<int8_t>, Column<int16_t>, Column<int32_t>> values;
    int decimals = 0;  // of the integers; 0 for doubles
};

// A compact column of `width` bytes (1, 2 or 4; anything else: doubles) for
// `count` facts, uninitialised.
MeasureColumn measureColumn(int width, int decimals, uint64_t count);
uint64_t valueCount(const MeasureColumn& column);
// Bytes per fact: 8 for doubles.
int valueWidth(const MeasureColumn& column);

// The value of integer `scaled` with `decimals` (0 .. kMaxDecimals): the
// double nearest scaled / 10^decimals, without a division (exact
// reciprocal multiplication with a correction step). Not for "no value".
double decodeValue(int32_t scaled, int decimals);

// The value of fact `row` (NaN: none). Requires: row < valueCount(column).
double valueAt(const MeasureColumn& column, uint64_t row);

// Values [begin, begin + count) as doubles: a pointer into the column when
// it holds doubles, else `buffer` (count doubles) filled by decoding.
const double* valuesOf(const MeasureColumn& column, uint64_t begin, size_t count, double* buffer);

// The values of facts begin + picked[i], i < count, as doubles into
// `buffer` (count doubles): for a few facts of many, cheaper than decoding
// them all. Requires: every such fact below valueCount(column).
void pickedValues(const MeasureColumn& column, uint64_t begin, const uint16_t* picked, size_t count,
                  double* buffer);

// How `values` can be stored compactly: the fewest decimals with which every
// value (NaN: none) is a whole number that decodes to it bit for bit, and
// the fewest bytes that hold those numbers and the "no value" integer.
// Nothing when no such form exists (-0.0, 1/3, 1e12, infinities).
struct CompactForm {
    int width = 8;
    int decimals = 0;
};
std::optional<CompactForm> compactForm(std::span<const double> values);

// The integer that stores `value` in `form` (the "no value" integer for NaN).
// Requires: compactForm() gave `form` for a column holding `value`.
int32_t encodeValue(double value, CompactForm form);

}  // namespace olap
