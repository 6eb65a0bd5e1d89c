#include "sheet/failures.h"
#include "sheet/variant.h"

#include "sheettestsupport.h"

using namespace sheet;

namespace {

TEST(VariantArrays, RefuseIndicesOutsideTheBoundsAndTheWrongNumberOfSubscripts)
{
    VariantArray list{"a", std::nullopt};
    auto table = VariantArray::twoDimensional(1, 1);
    sheettest::expectRefusals({{"past the end", [&] { list[2]; }, 9},
                               {"a dimension it has not", [&] { list.upperBound(2); }, 9},
                               {"one subscript of a table", [&] { table[0]; }, 13},
                               {"two subscripts of a list", [&] { list(0, 0); }, 13}});
}

}  // namespace
