// The drill and hidden tables of a member editor, and the small helpers that
// read them and look for fields in a pivot table.
//
// A table is a two-dimensional variant array: row r is the level at depth r
// of the dimension's first hierarchy (an "all" level, when there is one, is
// row 0), and each row's slots hold member names from slot 0 upward in the
// order the members were met; unused slots stay empty. The drill table never
// has a row for the deepest level met, since members there have nothing
// shown below them to open.
#include "wizard/control/nxpivotwizardctrl.h"

#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "platform/core/failure.h"
#include "sheet/application.h"
#include "widgets/nxdimeditctrl.h"

#include <algorithm>
#include <string>
#include <vector>

using sheet::VariantArray;

namespace {

// Members per level row of one list.
using LevelCounts = std::vector<int>;

[[noreturn]] void failSubscript(const std::string& what)
{
    throw platform::Failure(platform::err::kSubscript,
                            std::string(platform::runtimeDescription(platform::err::kSubscript)) + " (" + what + ")");
}

// Counts one member on `row`, growing the counts to reach it.
void countOnRow(LevelCounts& counts, int row)
{
    if (row < 0)
        failSubscript("a member without a name path");
    if (size_t(row) >= counts.size())
        counts.resize(size_t(row) + 1, 0);
    ++counts[size_t(row)];
}

// A table of empty slots with a row per count and as many slots as the
// fullest row holds members. Fails when no row holds any.
// Whether any counted row holds a member. When none does, the checked
// members all lie on the one level the report shows (the default selection
// below an "all" member, for one): there is nothing to drill, and the build
// goes on without a drill state for the dimension rather than failing.
bool holdsMembers(const LevelCounts& counts)
{
    return *std::max_element(counts.begin(), counts.end()) > 0;
}

VariantArray sizedTable(const LevelCounts& counts)
{
    const int maxCount = *std::max_element(counts.begin(), counts.end());
    if (maxCount <= 0)
        failSubscript("a member table whose rows hold no member");
    return VariantArray::twoDimensional(counts.size(), size_t(maxCount));
}

void storeInFirstEmptySlot(VariantArray& table, int row, const std::string& text)
{
    for (size_t k = 0; k <= size_t(table.upperBound(2)); ++k) {
        if (!table(size_t(row), k)) {
            table(size_t(row), k) = text;
            return;
        }
    }
    failSubscript("no empty slot left on row " + std::to_string(row));
}

const olap::Member& storeMember(const DimMember& member)
{
    return platform::requireObject(member.member().get(), "store member");
}

const olap::KMember& connectionMember(const DimMember& member)
{
    return platform::requireObject(member.kMember().get(), "connection member");
}

bool firstLevelIsAll(const olap::Dimension& dimension)
{
    return dimension.hierarchy(1)->level(1)->LevelType() == olap::LevelType::All;
}

bool firstLevelIsAll(const olap::KDimension& dimension)
{
    return dimension.hierarchies().item(0)->levels().item(0)->LevelType() == olap::LevelType::All;
}

std::string storeMemberText(const olap::Member& member, bool useCaptions)
{
    return "[" + member.dimension()->name() + "]." + (useCaptions ? member.caption() : member.namePath());
}

// The unique name, or the same path spelled with captions from the top.
std::string connectionMemberText(const olap::KMember& member, bool useCaptions)
{
    if (!useCaptions)
        return member.uniqueName();
    std::string text = "[" + member.caption() + "]";
    for (auto parent = member.parent(); parent; parent = parent->parent())
        text = "[" + parent->caption() + "]." + text;
    return "[" + member.dimension()->name() + "]." + text;
}

// The hidden table of both models: every member of the hide list on its own
// row, `rowOf` telling which.
template <class RowOf, class TextOf>
void fillHiddenTable(const DimMembers& hides, RowOf rowOf, TextOf textOf, VariantArray& hiddenArray, bool& addHidden)
{
    addHidden = false;
    if (hides.empty())
        return;
    LevelCounts counts{0};
    for (const DimMember& member : hides)
        countOnRow(counts, rowOf(member));
    hiddenArray = sizedTable(counts);
    for (const DimMember& member : hides) {
        storeInFirstEmptySlot(hiddenArray, rowOf(member), textOf(member));
        addHidden = true;
    }
}

// Whether one of `fields` (cube or pivot fields) is named `name` exactly.
template <class Fields>
bool hasFieldNamed(Fields& fields, const QString& name)
{
    const std::string wanted = name.toStdString();
    for (const auto& field : fields)
        if (field->Name() == wanted)
            return true;
    return false;
}

// Whether a drill member at `depth` (1 = the top level) gets a row of the table.
bool drillMemberQualifies(int depth, const VariantArray& table, bool hasAll)
{
    return (depth >= 2 && depth - 1 <= table.upperBound(1)) || (depth == 1 && !hasAll);
}

}  // namespace

void NxPivotWizardCtrl::GetTreeDrilledAndHiddenArrays(NxDimEditCtrl* aDimEditControl,
                                                      const std::shared_ptr<olap::Dimension>& aDimension,
                                                      VariantArray& drilledArray, VariantArray& hiddenArray,
                                                      bool& addDrills, bool& addHidden, bool useCaptions)
{
    trap([&] {
        NxDimEditCtrl& editor = platform::requireObject(aDimEditControl, "member editor");
        const olap::Dimension& dimension = platform::requireObject(aDimension.get(), "dimension");
        auto depthOf = [this](const olap::Member& member) {
            return int(numElements(QString::fromStdString(member.namePath())));
        };
        addDrills = false;
        const olap::MemberSelection& drills =
            platform::requireObject(editor.dimension().get(), "editor dimension").selectedMembers();
        if (drills.count() > 0) {
            LevelCounts counts{0};
            for (const auto& member : drills)
                countOnRow(counts, depthOf(*member) - 1);
            if (counts.size() > 1)
                counts.pop_back();
            if (holdsMembers(counts)) {
                drilledArray = sizedTable(counts);
                const bool hasAll = firstLevelIsAll(dimension);
                for (const auto& member : drills) {
                    const int depth = depthOf(*member);
                    if (!drillMemberQualifies(depth, drilledArray, hasAll))
                        continue;
                    addDrills = true;
                    storeInFirstEmptySlot(drilledArray, depth - 1, storeMemberText(*member, useCaptions));
                }
            }
        }
        fillHiddenTable(
            editor.hiddenMembers(), [&](const DimMember& member) { return depthOf(storeMember(member)) - 1; },
            [&](const DimMember& member) { return storeMemberText(storeMember(member), useCaptions); }, hiddenArray,
            addHidden);
    });
}

void NxPivotWizardCtrl::GetKTreeDrilledAndHiddenArrays(NxDimEditCtrl* aDimEditControl,
                                                       const std::shared_ptr<olap::KDimension>& aDimension,
                                                       VariantArray& drilledArray, VariantArray& hiddenArray,
                                                       bool& addDrills, bool& addHidden, bool useCaptions)
{
    trap([&] {
        NxDimEditCtrl& editor = platform::requireObject(aDimEditControl, "member editor");
        const olap::KDimension& dimension = platform::requireObject(aDimension.get(), "dimension");
        addDrills = false;
        const DimMembers drills = editor.checkedMembers();
        if (!drills.empty()) {
            const bool hasAll = firstLevelIsAll(dimension);
            // With an "all" level a member is counted one row further down, and
            // the first row (always empty then) is removed again.
            LevelCounts counts{0};
            for (const DimMember& member : drills)
                countOnRow(counts, connectionMember(member).levelDepth() + (hasAll ? 1 : 0));
            if (counts.size() > 1)
                counts.erase(hasAll ? counts.begin() : counts.end() - 1);
            if (holdsMembers(counts)) {
                drilledArray = sizedTable(counts);
                for (const DimMember& member : drills) {
                    const int depth = connectionMember(member).levelDepth() + 1;
                    if (!drillMemberQualifies(depth, drilledArray, hasAll))
                        continue;
                    addDrills = true;
                    storeInFirstEmptySlot(drilledArray, depth - 1,
                                          connectionMemberText(connectionMember(member), useCaptions));
                }
                if (hasAll)
                    drilledArray = shrinkArray(drilledArray);
            }
        }
        fillHiddenTable(
            editor.hiddenMembers(), [](const DimMember& member) { return connectionMember(member).levelDepth(); },
            [&](const DimMember& member) { return connectionMemberText(connectionMember(member), useCaptions); },
            hiddenArray, addHidden);
    });
}

VariantArray NxPivotWizardCtrl::getArray(const VariantArray& anArray, qint16 aDepth)
{
    VariantArray result;
    trap([&] {
        VariantArray row = VariantArray::oneDimensional(size_t(anArray.upperBound(2) + 1));
        for (size_t j = 0; j < row.size(); ++j)
            row[j] = anArray(size_t(aDepth), j);
        result = std::move(row);
    });
    return result;
}

QString NxPivotWizardCtrl::getLevelName(const std::shared_ptr<olap::Dimension>& aDim, qint16 aDepth)
{
    QString result;
    trap([&] {
        const olap::Dimension& dimension = platform::requireObject(aDim.get(), "dimension");
        const std::string level = dimension.hierarchy(1)->level(aDepth + 1)->name();
        result = QString::fromStdString("[" + dimension.name() + "].[" + level + "]");
    });
    return result;
}

VariantArray NxPivotWizardCtrl::shrinkArray(const VariantArray& anArray)
{
    VariantArray result;
    trap([&] {
        const int rows = anArray.upperBound(1);  // one fewer than the input has
        const int width = anArray.upperBound(2) + 1;
        VariantArray copy = VariantArray::twoDimensional(size_t(std::max(rows, 0)), size_t(width));
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < width; ++j)
                copy(size_t(i), size_t(j)) = anArray(size_t(i), size_t(j));
        result = std::move(copy);
    });
    return result;
}

qint16 NxPivotWizardCtrl::numElements(const QString& aString)
{
    qint16 result = 0;
    trap([&] {
        qsizetype position = 0;
        while ((position = aString.indexOf(QLatin1Char('['), position)) >= 0) {
            ++result;
            ++position;
        }
    });
    return result;
}

bool NxPivotWizardCtrl::cubeFieldExists(const QString& aField, const std::shared_ptr<sheet::PivotTable>& aPVTable)
{
    bool result = false;
    trap([&] {
        result = hasFieldNamed(*platform::requireObject(aPVTable.get(), "pivot table").CubeFields(), aField);
    });
    return result;
}

bool NxPivotWizardCtrl::pvFieldExists(const QString& aField, const std::shared_ptr<sheet::PivotTable>& aPVTable)
{
    bool result = false;
    trap([&] {
        result = hasFieldNamed(*platform::requireObject(aPVTable.get(), "pivot table").PivotFields(), aField);
    });
    return result;
}
