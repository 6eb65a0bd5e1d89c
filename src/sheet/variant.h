// The variant arrays that the host interface passes: connection texts, drill
// tables, hidden-item lists. Every element is either empty or a text; both
// bounds of every dimension start at 0, as the wizard's arrays do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace sheet {

// One element of a variant array: std::nullopt is the empty variant.
using Variant = std::optional<std::string>;

// A one- or two-dimensional array of variants. A default-constructed array is
// one-dimensional with no elements (upper bound -1). Elements are stored row
// by row; indexing outside the bounds throws the host's "subscript out of
// range" failure (9).
class VariantArray {
public:
    VariantArray() = default;
    // A one-dimensional array holding `items` at 0, 1, ...
    VariantArray(std::initializer_list<Variant> items);
    explicit VariantArray(std::vector<Variant> items);

    // An array of `count` empty elements (one dimension) or `rows` x
    // `columns` empty elements (two dimensions).
    static VariantArray oneDimensional(size_t count);
    static VariantArray twoDimensional(size_t rows, size_t columns);

    int dimensions() const { return mDimensions; }
    // The upper bound of dimension 1 or 2 (the runtime's UBound): count - 1.
    // Throws 9 for a dimension the array does not have.
    int32_t upperBound(int dimension = 1) const;
    size_t size() const { return mItems.size(); }

    // One-dimensional access. Requires: dimensions() == 1.
    const Variant& operator[](size_t index) const;
    Variant& operator[](size_t index);
    // Two-dimensional access. Requires: dimensions() == 2.
    const Variant& operator()(size_t row, size_t column) const;
    Variant& operator()(size_t row, size_t column);

    // Every element, row by row.
    const std::vector<Variant>& items() const { return mItems; }

    bool operator==(const VariantArray&) const = default;

private:
    int mDimensions = 1;
    size_t mRows = 0;     // two dimensions only
    size_t mColumns = 0;  // two dimensions only
    std::vector<Variant> mItems;
};

}  // namespace sheet
