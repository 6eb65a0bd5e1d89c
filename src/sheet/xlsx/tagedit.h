// Editing one start tag of a part as text, leaving every other byte of the
// part as it was. Used where the host changes one attribute of a sheet it
// otherwise does not touch (which tab is selected), so the rest of the part
// is not re-serialised.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheet {

// The first start tag named `name` (any prefix) in `text`, as the offset of
// its "<" and its length up to and including ">"; nullopt when there is none.
std::optional<std::pair<size_t, size_t>> locateStartTag(std::string_view text, std::string_view name);

// `tag` with attribute `attribute` set to `value` (added before the tag's end
// when missing), or removed when `value` is nullopt. `value` must need no
// escaping.
std::string withAttribute(std::string_view tag, std::string_view attribute, std::optional<std::string_view> value);

}  // namespace sheet
