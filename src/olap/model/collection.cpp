#include "olap/model/collection.h"

#include "platform/core/failure.h"

#include <string>

namespace olap {

void throwBadPosition(std::string_view what, int position, int first, int count)
{
    using platform::err::kSubscript;
    std::string text(platform::runtimeDescription(kSubscript));
    text += ": " + std::string(what) + " item " + std::to_string(position);
    text += count == 0 ? std::string(" (the collection is empty)")
                       : " (items are " + std::to_string(first) + " to " + std::to_string(first + count - 1) + ")";
    throw platform::Failure(kSubscript, text, "olap");
}

}  // namespace olap
