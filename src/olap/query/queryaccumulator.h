// The running state of one measure in one cell. Private to the query engine.
//
// `count` is the number of facts with a value; `value` is their sum (Sum,
// Average), smallest (Min) or largest (Max) value, unused for Count. A cell
// with count 0 is empty, so Min and Max can start at +-infinity without an
// infinite fact value being mistaken for "no value".
#pragma once

#include "olap/cube/schema.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <limits>
#include <optional>

namespace olap::query {

// No member initialisers: large arrays of them are left uninitialised until
// the thread that uses a range of them fills it. The count is a double
// (exact up to 2^53 facts) so that a sum's value and count are updated by
// one two-lane addition: fewer loads and stores per fact in the scan, whose
// time they are.
struct Accumulator {
    double value;
    double count;
};

constexpr Accumulator emptyAccumulator(Aggregation aggregation)
{
    switch (aggregation) {
    case Aggregation::Min:
        return {std::numeric_limits<double>::infinity(), 0};
    case Aggregation::Max:
        return {-std::numeric_limits<double>::infinity(), 0};
    default:
        return {0, 0};
    }
}

// Adds one fact's value; NaN (no value) changes nothing. Branch-free, as it
// runs once per fact and facts without values come at random: a NaN makes
// the sum's addition {0, 0}, and loses every comparison for Min and Max.
template <Aggregation A>
inline void addValue(Accumulator& into, double value)
{
    if constexpr (A == Aggregation::Sum || A == Aggregation::Average) {
        using Pair = double __attribute__((vector_size(16)));
        using Mask = int64_t __attribute__((vector_size(16)));
        const Pair both = {value, value};
        const Pair add = Pair(Mask(Pair{value, 1.0}) & (both == both));  // {value, 1}, or {0, 0} for NaN
        Pair sum;
        std::memcpy(&sum, &into, sizeof sum);
        sum += add;
        std::memcpy(&into, &sum, sizeof sum);
        return;
    }
    const bool has = value == value;
    if constexpr (A == Aggregation::Min)
        into.value = value < into.value ? value : into.value;
    else if constexpr (A == Aggregation::Max)
        into.value = value > into.value ? value : into.value;
    into.count += has ? 1.0 : 0.0;
}

// Adds one fact's values of two Sum-kind measures whose accumulators stand
// side by side: {first, 1, second, 1}, a value's pair {0, 0} for NaN, in one
// four-lane addition where the processor has one.
inline void addPair(Accumulator* into, double first, double second)
{
    using Quad = double __attribute__((vector_size(32)));
    using Mask = int64_t __attribute__((vector_size(32)));
    const Quad values = {first, 1.0, second, 1.0};
    const Quad check = {first, first, second, second};
    const Quad add = Quad(Mask(values) & (check == check));
    Quad sum;
    std::memcpy(&sum, into, sizeof sum);
    sum += add;
    std::memcpy(into, &sum, sizeof sum);
}

template <Aggregation A>
inline void mergeInto(Accumulator& into, const Accumulator& from)
{
    if constexpr (A == Aggregation::Sum || A == Aggregation::Average)
        into.value += from.value;
    else if constexpr (A == Aggregation::Min)
        into.value = std::min(into.value, from.value);
    else if constexpr (A == Aggregation::Max)
        into.value = std::max(into.value, from.value);
    into.count += from.count;
}

inline std::optional<double> finalValue(Aggregation aggregation, const Accumulator& accumulator)
{
    if (accumulator.count == 0)
        return std::nullopt;
    switch (aggregation) {
    case Aggregation::Count:
        return accumulator.count;
    case Aggregation::Average:
        return accumulator.value / accumulator.count;
    default:
        return accumulator.value;
    }
}

// Calls `run.template operator()<A>()` with the aggregation as a compile-time
// constant, so that per-fact loops are compiled once per aggregation.
template <class Run>
inline void withAggregation(Aggregation aggregation, Run&& run)
{
    switch (aggregation) {
    case Aggregation::Sum:
        return run.template operator()<Aggregation::Sum>();
    case Aggregation::Count:
        return run.template operator()<Aggregation::Count>();
    case Aggregation::Min:
        return run.template operator()<Aggregation::Min>();
    case Aggregation::Max:
        return run.template operator()<Aggregation::Max>();
    case Aggregation::Average:
        return run.template operator()<Aggregation::Average>();
    case Aggregation::DistinctCount:
        // Never rolled up from leaves (DistinctCells hold its cells); an
        // empty accumulator of it finishes as an empty cell.
        return run.template operator()<Aggregation::Count>();
    }
}

}  // namespace olap::query
