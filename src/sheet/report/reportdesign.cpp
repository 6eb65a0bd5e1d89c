#include "sheet/report/reportdesign.h"

#include "sheet/failures.h"
#include "olap/model/membersource.h"
#include "olap/query/querymembers.h"

#include <algorithm>

namespace sheet::report {

namespace {

using pivot::PivotDesign;

std::string bracketed(const std::string& name)
{
    return "[" + name + "]";
}

class Applier {
public:
    Applier(const ReportDefinition& report, PivotDesign& design, std::vector<std::string>& skipped)
        : mReport(report), mDesign(design), mSkipped(skipped)
    {
    }

    [[noreturn]] void fail(const std::string& problem) const
    {
        failApplication("Report '" + mReport.name + "': the cube '" + mReport.source.cube + "' " + problem);
    }

    void place(const std::vector<FieldDefinition>& fields, int32_t orientation)
    {
        int32_t position = 1;
        for (const auto& field : fields) {
            const auto cubeField = mDesign.findCubeField(bracketed(field.dimension));
            if (!cubeField || mDesign.cubeFields()[*cubeField].kind != pivot::CubeFieldEntry::Kind::Dimension)
                fail("has no dimension '" + field.dimension + "'");
            if (mDesign.orientation(*cubeField) != kHidden)
                failApplication("Report '" + mReport.name + "': the dimension '" + field.dimension
                                + "' is placed twice");
            mDesign.setOrientation(*cubeField, orientation);
            mDesign.setPosition(*cubeField, position++);
            members(mDesign.cubeFields()[*cubeField].index, field);
        }
    }

    void data()
    {
        int32_t position = 1;
        for (const auto& field : mReport.data) {
            const auto cubeField = mDesign.findCubeField("[Measures]." + bracketed(field.measure));
            if (!cubeField || mDesign.cubeFields()[*cubeField].kind != pivot::CubeFieldEntry::Kind::Measure)
                fail("has no measure '" + field.measure + "'");
            if (mDesign.orientation(*cubeField) == kDataField)
                failApplication("Report '" + mReport.name + "': the measure '" + field.measure + "' is shown twice");
            mDesign.setOrientation(*cubeField, kDataField);
            mDesign.setPosition(*cubeField, position++);
            if (!field.numberFormat.empty())
                mDesign.measure(mDesign.cubeFields()[*cubeField].index).numberFormat = field.numberFormat;
        }
        if (mReport.valuesOnRows && !mReport.data.empty())
            mDesign.setOrientation(*mDesign.findCubeField("[Measures]"), kRowField);
    }

private:
    void members(uint32_t d, const FieldDefinition& field)
    {
        auto& state = mDesign.dimension(d);
        const auto& hierarchy = mDesign.cube().dimensions[d].hierarchies.at(0);
        state.drilled = resolve(hierarchy, field.drilled, std::nullopt);
        state.drilledTable = table(hierarchy, state.drilled);
        state.treeHidden = resolve(hierarchy, field.hidden, std::nullopt);
        state.hiddenTable = table(hierarchy, state.treeHidden);
        state.pageSelected = resolve(hierarchy, field.selected, std::nullopt);
        for (const auto& level : field.levels) {
            const auto it = std::find_if(hierarchy.levels.begin(), hierarchy.levels.end(),
                                         [&](const olap::LevelInfo& info) { return info.name == level.level; });
            if (it == hierarchy.levels.end())
                fail("has no level '" + level.level + "' in the dimension '" + field.dimension + "'");
            const auto index = static_cast<uint16_t>(it - hierarchy.levels.begin());
            auto& levelState = state.levels[index];
            levelState.subtotals = level.subtotals;
            levelState.hidden = resolve(hierarchy, level.hidden, index);
            std::vector<Variant> names;
            for (uint32_t member : levelState.hidden)
                names.emplace_back(olap::memberOf(hierarchy, member).uniqueName);
            levelState.hiddenList = VariantArray(std::move(names));
        }
    }

    std::set<uint32_t> resolve(const olap::HierarchyInfo& hierarchy, const std::vector<std::string>& names,
                               std::optional<uint16_t> level)
    {
        std::set<uint32_t> members;
        if (names.empty())
            return members;
        const olap::MemberNameIndex index(hierarchy);
        const auto found = index.findAll(names);
        for (size_t i = 0; i < names.size(); ++i) {
            if (found[i] && (!level || olap::memberOf(hierarchy, *found[i]).level == *level))
                members.insert(*found[i]);
            else
                mSkipped.push_back(names[i]);
        }
        return members;
    }

    // The wizard's drill and hidden tables are one row of names per level;
    // one row holding every name is read the same way.
    static VariantArray table(const olap::HierarchyInfo& hierarchy, const std::set<uint32_t>& members)
    {
        auto table = VariantArray::twoDimensional(members.empty() ? 0 : 1, members.size());
        size_t column = 0;
        for (uint32_t member : members)
            table(0, column++) = olap::memberOf(hierarchy, member).uniqueName;
        return table;
    }

    const ReportDefinition& mReport;
    PivotDesign& mDesign;
    std::vector<std::string>& mSkipped;
};

std::vector<std::string> uniqueNames(const olap::HierarchyInfo& hierarchy, const std::set<uint32_t>& members)
{
    std::vector<std::string> names;
    names.reserve(members.size());
    for (uint32_t member : members)
        names.push_back(olap::memberOf(hierarchy, member).uniqueName);
    return names;
}

FieldDefinition captureField(const PivotDesign& design, uint32_t d)
{
    const auto& info = design.cube().dimensions[d];
    const auto& hierarchy = info.hierarchies.at(0);
    const auto& state = design.dimension(d);
    FieldDefinition field;
    field.dimension = info.name;
    field.drilled = uniqueNames(hierarchy, state.drilled);
    field.hidden = uniqueNames(hierarchy, state.treeHidden);
    field.selected = uniqueNames(hierarchy, state.pageSelected);
    for (const auto& [level, levelState] : state.levels) {
        if (level < hierarchy.levels.size())
            field.levels.push_back({hierarchy.levels[level].name, levelState.subtotals,
                                    uniqueNames(hierarchy, levelState.hidden)});
    }
    return field;
}

}  // namespace

void applyDefinition(const ReportDefinition& report, PivotDesign& design, std::vector<std::string>& skipped)
{
    Applier applier(report, design, skipped);
    design.autoformat = report.shaded ? kTableFormatShaded : report.autoformat ? kTableFormat13 : 0;
    // The wizard's order: pages, then columns, then rows, then the data.
    applier.place(report.pages, kPageField);
    applier.place(report.columns, kColumnField);
    applier.place(report.rows, kRowField);
    applier.data();
    design.rowGrand = report.rowGrand;
    design.columnGrand = report.columnGrand;
}

ReportDefinition captureDefinition(const PivotDesign& design)
{
    ReportDefinition report;
    for (const auto& [orientation, fields] :
         {std::pair{kRowField, &report.rows}, {kColumnField, &report.columns}, {kPageField, &report.pages}}) {
        for (uint32_t d : design.axis(orientation))
            fields->push_back(captureField(design, d));
    }
    for (uint32_t m : design.axis(kDataField)) {
        const auto& format = design.measure(m).numberFormat;
        report.data.push_back({design.cube().measures[m].name, format ? *format : std::string()});
    }
    report.valuesOnRows = design.valuesAxis() == kRowField;
    report.rowGrand = design.rowGrand;
    report.columnGrand = design.columnGrand;
    report.autoformat = design.autoformat != 0;
    report.shaded = design.autoformat == kTableFormatShaded;
    return report;
}

}  // namespace sheet::report
