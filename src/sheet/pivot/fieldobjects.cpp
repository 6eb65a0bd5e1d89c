// The field objects of a cube pivot table. Each names its field by index and
// reaches the table's design through the table, so objects taken before a
// change stay valid after it.
#include "sheet/pivot/cubepivottable.h"

#include "sheet/cubefield.h"
#include "sheet/failures.h"
#include "sheet/pivotfield.h"
#include "olap/model/membersource.h"
#include "sheet/xlsx/numberformat.h"

namespace sheet::pivot {

namespace {

std::shared_ptr<CubePivotTable> lockTable(const std::weak_ptr<CubePivotTable>& table)
{
    auto locked = table.lock();
    if (!locked)
        failObjectNotSet("the pivot table is gone");
    return locked;
}

void requireTable(const VariantArray& table, const std::string& what)
{
    if (table.dimensions() != 2)
        failTypeMismatch(what + " takes a two-dimensional array of member names");
}

class TreeviewObject final : public TreeviewControl {
public:
    TreeviewObject(std::weak_ptr<CubePivotTable> table, uint32_t dimension)
        : mTable(std::move(table)), mDimension(dimension)
    {
    }

    VariantArray Drilled() override { return state().drilledTable; }
    void Drilled(const VariantArray& table) override
    {
        assign(table, "TreeviewControl.Drilled", &DimensionState::drilled, &DimensionState::drilledTable);
    }
    VariantArray Hidden() override { return state().hiddenTable; }
    void Hidden(const VariantArray& table) override
    {
        assign(table, "TreeviewControl.Hidden", &DimensionState::treeHidden, &DimensionState::hiddenTable);
    }

private:
    DimensionState& state() { return lockTable(mTable)->design().dimension(mDimension); }

    // Resolves every name first, so that a refused table leaves the state.
    void assign(const VariantArray& table, const std::string& what, std::set<uint32_t> DimensionState::*members,
                VariantArray DimensionState::*stored)
    {
        requireTable(table, what);
        auto owner = lockTable(mTable);
        auto resolved = owner->design().resolveMembers(mDimension, table);
        state().*members = std::move(resolved);
        state().*stored = table;
        owner->changed();
    }

    std::weak_ptr<CubePivotTable> mTable;
    uint32_t mDimension;
};

class CubeFieldObject final : public CubeField {
public:
    CubeFieldObject(std::weak_ptr<CubePivotTable> table, size_t field) : mTable(std::move(table)), mField(field) {}

    std::string Name() override { return entry().name; }
    int32_t Orientation() override { return lockTable(mTable)->design().orientation(mField); }
    void Orientation(int32_t orientation) override
    {
        auto table = lockTable(mTable);
        table->design().setOrientation(mField, orientation);
        table->changed();
    }
    int32_t Position() override { return lockTable(mTable)->design().position(mField); }
    void Position(int32_t position) override
    {
        auto table = lockTable(mTable);
        table->design().setPosition(mField, position);
        table->changed();
    }
    std::shared_ptr<sheet::TreeviewControl> TreeviewControl() override
    {
        if (entry().kind != CubeFieldEntry::Kind::Dimension)
            failApplication("The cube field " + entry().name + " has no member tree");
        return std::make_shared<TreeviewObject>(mTable, entry().index);
    }

private:
    const CubeFieldEntry& entry() { return lockTable(mTable)->design().cubeFields().at(mField); }

    std::weak_ptr<CubePivotTable> mTable;
    size_t mField;
};

class CubeFieldCollection final : public CubeFields {
public:
    explicit CubeFieldCollection(std::weak_ptr<CubePivotTable> table) : mTable(std::move(table)) {}

    int32_t Count() override { return static_cast<int32_t>(lockTable(mTable)->design().cubeFields().size()); }
    std::shared_ptr<CubeField> Item(int32_t index) override
    {
        const int32_t count = Count();
        if (index < 1 || index > count)
            failSubscript("cube field " + std::to_string(index) + " of " + std::to_string(count));
        return std::make_shared<CubeFieldObject>(mTable, static_cast<size_t>(index - 1));
    }
    std::shared_ptr<CubeField> Item(const std::string& name) override
    {
        const auto field = lockTable(mTable)->design().findCubeField(name);
        if (!field)
            failUnknownField("CubeFields", name);
        return std::make_shared<CubeFieldObject>(mTable, *field);
    }

private:
    std::weak_ptr<CubePivotTable> mTable;
};

class PivotFieldObject final : public PivotField {
public:
    PivotFieldObject(std::weak_ptr<CubePivotTable> table, PivotFieldEntry entry)
        : mTable(std::move(table)), mEntry(std::move(entry))
    {
    }

    std::string Name() override { return mEntry.name; }
    int32_t Orientation() override
    {
        auto& design = lockTable(mTable)->design();
        return mEntry.data ? design.measure(mEntry.index).orientation : design.dimension(mEntry.index).orientation;
    }
    std::array<bool, kSubtotalCount> Subtotals() override
    {
        if (mEntry.data)
            return {};
        return level().subtotals;
    }
    void Subtotals(const std::array<bool, kSubtotalCount>& subtotals) override
    {
        refuseOnData("Subtotals");
        level().subtotals = subtotals;
        lockTable(mTable)->changed();
    }
    VariantArray HiddenItemsList() override
    {
        refuseOnData("HiddenItemsList");
        return level().hiddenList;
    }
    void HiddenItemsList(const VariantArray& members) override
    {
        refuseOnData("HiddenItemsList");
        if (members.dimensions() != 1)
            failTypeMismatch("HiddenItemsList takes a one-dimensional array of member names");
        auto table = lockTable(mTable);
        auto hidden = table->design().resolveMembers(mEntry.index, members, mEntry.level);
        level().hidden = std::move(hidden);
        level().hiddenList = members;
        table->changed();
    }
    std::string CurrentPageName() override
    {
        const auto& selected = pageState().pageSelected;
        if (selected.empty())
            return "(All)";
        if (selected.size() > 1)
            return "(Multiple Items)";
        return olap::memberOf(hierarchy(), *selected.begin()).uniqueName;
    }
    void CurrentPageName(const std::string& member) override
    {
        const bool all = member.empty() || member == "(All)";
        selectPage(all ? VariantArray() : VariantArray{member});
    }
    VariantArray CurrentPageList() override
    {
        std::vector<Variant> names;
        for (uint32_t member : pageState().pageSelected)
            names.emplace_back(olap::memberOf(hierarchy(), member).uniqueName);
        return VariantArray(std::move(names));
    }
    void CurrentPageList(const VariantArray& members) override
    {
        if (members.dimensions() != 1)
            failTypeMismatch("CurrentPageList takes a one-dimensional array of member names");
        selectPage(members);
    }
    std::string NumberFormat() override
    {
        refuseOnLevel();
        const auto& design = lockTable(mTable)->design();
        const auto& format = design.measure(mEntry.index).numberFormat;
        return format ? *format : design.cube().measures[mEntry.index].formatString;
    }
    // A bare decimal-places code ("0.00") changes only the decimals of the
    // measure's own format, so its thousands separators and the rest stay.
    void NumberFormat(const std::string& format) override
    {
        refuseOnLevel();
        auto table = lockTable(mTable);
        const auto places = bareDecimalPlaces(format);
        const std::string& own = table->design().cube().measures[mEntry.index].formatString;
        table->design().measure(mEntry.index).numberFormat = places ? withDecimalPlaces(own, *places) : format;
        table->changed();
    }

private:
    DimensionState& pageState()
    {
        auto& design = lockTable(mTable)->design();
        if (mEntry.data || design.dimension(mEntry.index).orientation != kPageField)
            failApplication("The field " + mEntry.name + " is not a page field: only page fields select members");
        return design.dimension(mEntry.index);
    }
    const olap::HierarchyInfo& hierarchy()
    {
        return lockTable(mTable)->design().cube().dimensions.at(mEntry.index).hierarchies.at(0);
    }
    void selectPage(const VariantArray& members)
    {
        pageState();
        auto table = lockTable(mTable);
        auto selected = table->design().resolveMembers(mEntry.index, members);
        pageState().pageSelected = std::move(selected);
        table->changed();
    }
    LevelState& level() { return lockTable(mTable)->design().dimension(mEntry.index).levels[mEntry.level]; }
    void refuseOnData(const char* member)
    {
        if (mEntry.data)
            failApplication(std::string(member) + " does not apply to the data field " + mEntry.name);
    }
    void refuseOnLevel()
    {
        if (!mEntry.data)
            failApplication("NumberFormat applies to data fields, not to the level field " + mEntry.name);
    }

    std::weak_ptr<CubePivotTable> mTable;
    PivotFieldEntry mEntry;
};

class PivotFieldCollection final : public PivotFields {
public:
    PivotFieldCollection(std::weak_ptr<CubePivotTable> table, bool dataOnly)
        : mTable(std::move(table)), mDataOnly(dataOnly)
    {
    }

    int32_t Count() override { return static_cast<int32_t>(entries().size()); }
    std::shared_ptr<PivotField> Item(int32_t index) override
    {
        auto list = entries();
        if (index < 1 || index > static_cast<int32_t>(list.size()))
            failSubscript("pivot field " + std::to_string(index) + " of " + std::to_string(list.size()));
        return std::make_shared<PivotFieldObject>(mTable, std::move(list[static_cast<size_t>(index - 1)]));
    }
    std::shared_ptr<PivotField> Item(const std::string& name) override
    {
        for (auto& entry : entries()) {
            if (entry.name == name)
                return std::make_shared<PivotFieldObject>(mTable, std::move(entry));
        }
        failUnknownField(mDataOnly ? "DataFields" : "PivotFields", name);
    }

private:
    std::vector<PivotFieldEntry> entries()
    {
        auto list = lockTable(mTable)->design().pivotFields();
        if (mDataOnly)
            std::erase_if(list, [](const PivotFieldEntry& entry) { return !entry.data; });
        return list;
    }

    std::weak_ptr<CubePivotTable> mTable;
    bool mDataOnly;
};

}  // namespace

std::shared_ptr<sheet::CubeFields> makeCubeFields(std::weak_ptr<CubePivotTable> table)
{
    return std::make_shared<CubeFieldCollection>(std::move(table));
}

std::shared_ptr<sheet::PivotFields> makePivotFields(std::weak_ptr<CubePivotTable> table, bool dataOnly)
{
    return std::make_shared<PivotFieldCollection>(std::move(table), dataOnly);
}

}  // namespace sheet::pivot
