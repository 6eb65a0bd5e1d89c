// Repairs of a drill or hidden table that the host rejected. Hosts differ in
// whether they want the key marker "&" in front of the parts of a member's
// name that are keys: a store cube's tables get markers added (and then
// taken away again one at a time), a local-file or server cube's tables get
// the markers removed.
#include "wizard/control/nxpivotwizardctrl.h"

#include "widgets/nxcubeselectorctrl.h"

#include <string>

using sheet::VariantArray;

namespace {


// Calls `rewrite` on the text of every element that holds one; an element
// whose rewritten text is empty keeps its old text.
template <class Rewrite>
void rewriteElements(VariantArray& table, Rewrite rewrite)
{
    auto apply = [&](sheet::Variant& element) {
        if (!element)
            return;
        std::string rebuilt = rewrite(*element);
        if (!rebuilt.empty())
            element = std::move(rebuilt);
    };
    if (table.dimensions() == 1) {
        for (size_t i = 0; i < table.size(); ++i)
            apply(table[i]);
        return;
    }
    for (size_t i = 0; i <= size_t(table.upperBound(1)); ++i)
        for (size_t j = 0; j <= size_t(table.upperBound(2)); ++j)
            apply(table(i, j));
}

// "[Time].[1997].[Q1]" -> "[Time].&[1997].&[Q1]".
std::string withKeyMarkers(const std::string& name)
{
    std::string rebuilt;
    bool firstBracket = true;
    for (char c : name) {
        if (c == '[') {
            if (!firstBracket)
                rebuilt += '&';
            firstBracket = false;
        }
        rebuilt += c;
    }
    return rebuilt;
}

// "[Time].&[1997]" -> "[Time].[1997]"; an "&" not before "[" stays.
std::string withoutKeyMarkers(const std::string& name)
{
    std::string rebuilt;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '&' && i + 1 < name.size() && name[i + 1] == '[')
            continue;
        rebuilt += name[i];
    }
    return rebuilt;
}

std::string withoutFirstAmpersand(std::string name)
{
    const size_t at = name.find('&');
    if (at != std::string::npos)
        name.erase(at, 1);
    return name;
}

}  // namespace

void NxPivotWizardCtrl::fixArray2(VariantArray& anArray)
{
    trap([&] {
        if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube)
            rewriteElements(anArray, withoutFirstAmpersand);
    });
}

void NxPivotWizardCtrl::fixArray(VariantArray& anArray)
{
    trap([&] {
        if (cubeSourceKind == NxCubeSelectorCtrl::StoreCube) {
            rewriteElements(anArray, withKeyMarkers);
            return;
        }
        keyNameFlag = true;
        rewriteElements(anArray, withoutKeyMarkers);
    });
}
