#include "olap/cube/measurecolumn.h"

#include "platform/core/cpuclones.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace olap {

namespace {

constexpr double kPowers[kMaxDecimals + 1] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// Correctly rounded reciprocals (the compiler divides exactly).
constexpr double kReciprocals[kMaxDecimals + 1] = {1, 1 / 1e1, 1 / 1e2, 1 / 1e3, 1 / 1e4,
                                                   1 / 1e5, 1 / 1e6, 1 / 1e7, 1 / 1e8, 1 / 1e9};
constexpr uint64_t kQuietNan = 0x7ff8000000000000u;

template <class T>
constexpr T kEmpty = std::numeric_limits<T>::min();

// A division costs ten times a multiplication here, and the scan decodes
// every fact of a compact column: q = x * (1/p) is at most an ulp off,
// e = x - q*p is exact with a fused multiply-add, and q + e * (1/p) rounds
// to the correctly rounded x / p. The builder checks each value anyway.
inline double scaledDown(double x, int decimals)
{
    const double p = kPowers[decimals], r = kReciprocals[decimals];
    const double q = x * r;
    return std::fma(std::fma(-q, p, x), r, q);
}

// "No value" becomes a NaN by masking, not by a branch, so the loops stay
// vector loops.
inline double orEmpty(double value, bool empty)
{
    return std::bit_cast<double>(std::bit_cast<uint64_t>(value) | ((uint64_t(0) - uint64_t(empty)) & kQuietNan));
}

template <class T>
inline void decodeInto(const T* in, size_t count, int decimals, double* out)
{
    if (decimals == 0) {
        for (size_t i = 0; i < count; ++i)
            out[i] = orEmpty(double(in[i]), in[i] == kEmpty<T>);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        out[i] = orEmpty(scaledDown(double(in[i]), decimals), in[i] == kEmpty<T>);
}

// Compiled for any x86-64 and for the wider vectors and fused multiply-add
// of later processors, the best chosen when the program loads (AVX-512
// halves the decoding time). std::fma is exact in each, so all give the
// same bits.
PLATFORM_CPU_CLONES void decodeBlock(const int8_t* in, size_t count, int decimals, double* out)
{
    decodeInto(in, count, decimals, out);
}
PLATFORM_CPU_CLONES void decodeBlock(const int16_t* in, size_t count, int decimals, double* out)
{
    decodeInto(in, count, decimals, out);
}
PLATFORM_CPU_CLONES void decodeBlock(const int32_t* in, size_t count, int decimals, double* out)
{
    decodeInto(in, count, decimals, out);
}

}  // namespace

MeasureColumn measureColumn(int width, int decimals, uint64_t count)
{
    switch (width) {
    case 1:
        return {Column<int8_t>(count), decimals};
    case 2:
        return {Column<int16_t>(count), decimals};
    case 4:
        return {Column<int32_t>(count), decimals};
    default:
        return {Column<double>(count), 0};
    }
}

uint64_t valueCount(const MeasureColumn& column)
{
    return std::visit([](const auto& values) { return uint64_t(values.size()); }, column.values);
}

int valueWidth(const MeasureColumn& column)
{
    return std::visit([](const auto& values) { return int(sizeof(values[0])); }, column.values);
}

double decodeValue(int32_t scaled, int decimals) { return scaledDown(double(scaled), decimals); }

double valueAt(const MeasureColumn& column, uint64_t row)
{
    return std::visit([&](const auto& values) {
        using T = std::decay_t<decltype(values[0])>;
        if constexpr (std::is_same_v<T, double>)
            return values[row];
        else
            return values[row] == kEmpty<T> ? std::numeric_limits<double>::quiet_NaN()
                                            : decodeValue(values[row], column.decimals);
    }, column.values);
}

const double* valuesOf(const MeasureColumn& column, uint64_t begin, size_t count, double* buffer)
{
    return std::visit([&](const auto& values) -> const double* {
        using T = std::decay_t<decltype(values[0])>;
        if constexpr (std::is_same_v<T, double>) {
            return values.data() + begin;
        } else {
            decodeBlock(values.data() + begin, count, column.decimals, buffer);
            return buffer;
        }
    }, column.values);
}

void pickedValues(const MeasureColumn& column, uint64_t begin, const uint16_t* picked, size_t count,
                  double* buffer)
{
    std::visit([&](const auto& values) {
        using T = std::decay_t<decltype(values[0])>;
        const T* from = values.data() + begin;
        if constexpr (std::is_same_v<T, double>) {
            for (size_t i = 0; i < count; ++i)
                buffer[i] = from[picked[i]];
        } else {
            // The integers gathered first, a chunk at a time, then decoded
            // in vector loops like a whole block.
            constexpr size_t kChunk = 256;
            T gathered[kChunk];
            for (size_t done = 0; done < count; done += kChunk) {
                const size_t n = std::min(kChunk, count - done);
                for (size_t i = 0; i < n; ++i)
                    gathered[i] = from[picked[done + i]];
                decodeBlock(gathered, n, column.decimals, buffer + done);
            }
        }
    }, column.values);
}

std::optional<CompactForm> compactForm(std::span<const double> values)
{
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        bool fits = true;
        int64_t lowest = 0, highest = 0;
        for (const double value : values) {
            if (std::isnan(value))
                continue;
            const double scaled = value * kPowers[decimals];
            // The "no value" integer of 4 bytes is never a value.
            if (!(std::fabs(scaled) <= double(std::numeric_limits<int32_t>::max()))) {
                fits = false;
                break;
            }
            const auto whole = int32_t(std::llrint(scaled));
            if (std::bit_cast<uint64_t>(decodeValue(whole, decimals)) != std::bit_cast<uint64_t>(value)) {
                fits = false;
                break;
            }
            lowest = std::min<int64_t>(lowest, whole);
            highest = std::max<int64_t>(highest, whole);
        }
        if (!fits)
            continue;
        const auto within = [&](auto type) {
            using T = decltype(type);
            return lowest > kEmpty<T> && highest <= std::numeric_limits<T>::max();
        };
        return CompactForm{within(int8_t()) ? 1 : within(int16_t()) ? 2 : 4, decimals};
    }
    return std::nullopt;
}

int32_t encodeValue(double value, CompactForm form)
{
    if (std::isnan(value))
        return form.width == 1 ? kEmpty<int8_t> : form.width == 2 ? kEmpty<int16_t> : kEmpty<int32_t>;
    return int32_t(std::llrint(value * kPowers[form.decimals]));
}

}  // namespace olap
