#include "hostdecorators.h"

#include "sheet/host/extensions.h"
#include "sheet/host/hostapplication.h"
#include "sheet/pivot/cubepivotengine.h"

#include <stdexcept>

namespace {

// Records `table` for `field` and throws 1004 while `budget` says to reject.
void take(HostLog& log, std::vector<GivenTable>& given, int& budget, const std::string& field,
          const sheet::VariantArray& table)
{
    if (log.onAssignment)
        log.onAssignment();
    const bool reject = budget != 0;
    given.push_back(GivenTable{field, table});
    if (!reject)
        return;
    if (budget > 0)
        --budget;
    sheet::failApplication("rejected " + field + " (test host)");
}

class Treeview final : public sheet::TreeviewControl {
public:
    Treeview(std::shared_ptr<sheet::TreeviewControl> real, std::string field, HostLog& log)
        : mReal(std::move(real)), mField(std::move(field)), mLog(log)
    {
    }
    sheet::VariantArray Drilled() override { return mReal->Drilled(); }
    void Drilled(const sheet::VariantArray& table) override
    {
        take(mLog, mLog.drilled, mLog.rejectDrilled, mField, table);
        mReal->Drilled(table);
    }
    sheet::VariantArray Hidden() override { return mReal->Hidden(); }
    void Hidden(const sheet::VariantArray& table) override
    {
        take(mLog, mLog.hidden, mLog.rejectHidden, mField, table);
        mReal->Hidden(table);
    }

private:
    std::shared_ptr<sheet::TreeviewControl> mReal;
    std::string mField;
    HostLog& mLog;
};

class CubeField final : public sheet::CubeField {
public:
    CubeField(std::shared_ptr<sheet::CubeField> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    std::string Name() override { return mReal->Name(); }
    int32_t Orientation() override { return mReal->Orientation(); }
    void Orientation(int32_t orientation) override { mReal->Orientation(orientation); }
    int32_t Position() override { return mReal->Position(); }
    void Position(int32_t position) override { mReal->Position(position); }
    std::shared_ptr<sheet::TreeviewControl> TreeviewControl() override
    {
        return std::make_shared<Treeview>(mReal->TreeviewControl(), mReal->Name(), mLog);
    }

private:
    std::shared_ptr<sheet::CubeField> mReal;
    HostLog& mLog;
};

class PivotField final : public sheet::PivotField {
public:
    PivotField(std::shared_ptr<sheet::PivotField> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    std::string Name() override { return mReal->Name(); }
    int32_t Orientation() override { return mReal->Orientation(); }
    std::array<bool, sheet::kSubtotalCount> Subtotals() override { return mReal->Subtotals(); }
    void Subtotals(const std::array<bool, sheet::kSubtotalCount>& on) override { mReal->Subtotals(on); }
    sheet::VariantArray HiddenItemsList() override { return mReal->HiddenItemsList(); }
    void HiddenItemsList(const sheet::VariantArray& members) override
    {
        take(mLog, mLog.hiddenItems, mLog.rejectHiddenItems, mReal->Name(), members);
        mReal->HiddenItemsList(members);
    }
    std::string NumberFormat() override { return mReal->NumberFormat(); }
    void NumberFormat(const std::string& format) override { mReal->NumberFormat(format); }

private:
    std::shared_ptr<sheet::PivotField> mReal;
    HostLog& mLog;
};

// A collection whose items are the real ones wrapped in `Wrapper`.
template <class Base, class Wrapper>
class Wrapped final : public Base {
public:
    Wrapped(std::shared_ptr<Base> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    int32_t Count() override { return mReal->Count(); }
    auto Item(int32_t index) -> decltype(std::declval<Base&>().Item(index)) override
    {
        return std::make_shared<Wrapper>(mReal->Item(index), mLog);
    }
    auto Item(const std::string& name) -> decltype(std::declval<Base&>().Item(name)) override
    {
        return std::make_shared<Wrapper>(mReal->Item(name), mLog);
    }

private:
    std::shared_ptr<Base> mReal;
    HostLog& mLog;
};

class PivotTable final : public sheet::PlacedPivotTable {
public:
    PivotTable(std::shared_ptr<sheet::PlacedPivotTable> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    std::string Name() override { return mReal->Name(); }
    bool RowGrand() override { return mReal->RowGrand(); }
    void RowGrand(bool on) override { mReal->RowGrand(on); }
    bool ColumnGrand() override { return mReal->ColumnGrand(); }
    void ColumnGrand(bool on) override { mReal->ColumnGrand(on); }
    bool ManualUpdate() override { return mReal->ManualUpdate(); }
    void ManualUpdate(bool on) override { mReal->ManualUpdate(on); }
    void Format(int32_t format) override { mReal->Format(format); }
    // Kept, as the host keeps its collections, so that loops over them stay valid.
    std::shared_ptr<sheet::CubeFields> CubeFields() override
    {
        if (!mCubeFields)
            mCubeFields = std::make_shared<Wrapped<sheet::CubeFields, CubeField>>(mReal->CubeFields(), mLog);
        return mCubeFields;
    }
    std::shared_ptr<sheet::PivotFields> PivotFields() override
    {
        if (!mPivotFields)
            mPivotFields = std::make_shared<Wrapped<sheet::PivotFields, PivotField>>(mReal->PivotFields(), mLog);
        return mPivotFields;
    }
    std::shared_ptr<sheet::PivotFields> DataFields() override { return mReal->DataFields(); }
    std::shared_ptr<sheet::Worksheet> Parent() override { return mReal->Parent(); }
    // No cells of its own: the real table checks that its cells lie in no
    // other table of the sheet, and its wrapper must not count as one.
    sheet::Area area() override
    {
        constexpr sheet::CellRef corner{sheet::kMaxRow, sheet::kMaxColumn};
        return sheet::Area{corner, corner};
    }
    void update() override { mReal->update(); }
    std::optional<sheet::ChartData> chartData() override { return mReal->chartData(); }

private:
    std::shared_ptr<sheet::PlacedPivotTable> mReal;
    HostLog& mLog;
    std::shared_ptr<sheet::CubeFields> mCubeFields;
    std::shared_ptr<sheet::PivotFields> mPivotFields;
};

class Engine final : public sheet::PivotEngine {
public:
    explicit Engine(HostLog& log) : mReal(sheet::pivot::makeCubePivotEngine()), mLog(log) {}
    std::shared_ptr<sheet::PlacedPivotTable> create(const sheet::PivotSource& source, sheet::HostWorksheet& sheet,
                                                    sheet::CellRef topLeft, const std::string& name) override
    {
        return std::make_shared<PivotTable>(mReal->create(source, sheet, topLeft, name), mLog);
    }

private:
    std::shared_ptr<sheet::PivotEngine> mReal;
    HostLog& mLog;
};

}  // namespace

void useRejectingPivotTables(const std::shared_ptr<sheet::Application>& host, HostLog& log)
{
    auto* real = dynamic_cast<sheet::HostApplication*>(host.get());
    if (!real)
        throw std::invalid_argument("not the real host");
    real->setEngines(std::make_shared<Engine>(log), nullptr);
}

