#include "sheet/variant.h"

#include "sheet/failures.h"

#include <string>
#include <utility>

namespace sheet {

VariantArray::VariantArray(std::initializer_list<Variant> items) : mItems(items) {}

VariantArray::VariantArray(std::vector<Variant> items) : mItems(std::move(items)) {}

VariantArray VariantArray::oneDimensional(size_t count)
{
    return VariantArray(std::vector<Variant>(count));
}

VariantArray VariantArray::twoDimensional(size_t rows, size_t columns)
{
    VariantArray array;
    array.mDimensions = 2;
    array.mRows = rows;
    array.mColumns = columns;
    array.mItems.resize(rows * columns);
    return array;
}

int32_t VariantArray::upperBound(int dimension) const
{
    if (dimension == 1)
        return static_cast<int32_t>(mDimensions == 1 ? mItems.size() : mRows) - 1;
    if (dimension == 2 && mDimensions == 2)
        return static_cast<int32_t>(mColumns) - 1;
    failSubscript("the array has no dimension " + std::to_string(dimension));
}

const Variant& VariantArray::operator[](size_t index) const
{
    if (mDimensions != 1)
        failTypeMismatch("a two-dimensional array indexed with one subscript");
    if (index >= mItems.size())
        failSubscript("index " + std::to_string(index) + " of an array of " + std::to_string(mItems.size()));
    return mItems[index];
}

Variant& VariantArray::operator[](size_t index)
{
    return const_cast<Variant&>(std::as_const(*this)[index]);
}

const Variant& VariantArray::operator()(size_t row, size_t column) const
{
    if (mDimensions != 2)
        failTypeMismatch("a one-dimensional array indexed with two subscripts");
    if (row >= mRows || column >= mColumns)
        failSubscript("element (" + std::to_string(row) + ", " + std::to_string(column) + ") of a "
                      + std::to_string(mRows) + " x " + std::to_string(mColumns) + " array");
    return mItems[row * mColumns + column];
}

Variant& VariantArray::operator()(size_t row, size_t column)
{
    return const_cast<Variant&>(std::as_const(*this)(row, column));
}

}  // namespace sheet
