#include "hostdecorators.h"

#include "sheet/failures.h"

namespace {

// Records `table` and throws 1004 while the log says to reject its kind.
void take(HostLog& log, Assignment kind, const std::string& field, const sheet::VariantArray& table)
{
    log.given.push_back({kind, field, table});
    int& budget = log.reject[kind];
    if (budget == 0)
        return;
    if (budget > 0)
        --budget;
    sheet::failApplication("rejected " + field + " (test host)");
}

class Treeview final : public sheet::TreeviewControl {
public:
    Treeview(std::shared_ptr<sheet::TreeviewControl> real, std::string field, HostLog& log)
        : mReal(std::move(real)), mField(std::move(field)), mLog(log) {}
    sheet::VariantArray Drilled() override { return mReal->Drilled(); }
    void Drilled(const sheet::VariantArray& table) override
    {
        take(mLog, kDrilled, mField, table);
        mReal->Drilled(table);
    }
    sheet::VariantArray Hidden() override { return mReal->Hidden(); }
    void Hidden(const sheet::VariantArray& table) override
    {
        take(mLog, kHidden, mField, table);
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

class FieldList final : public sheet::CubeFields {
public:
    FieldList(std::shared_ptr<sheet::CubeFields> real, HostLog& log) : mReal(std::move(real)), mLog(log) {}
    int32_t Count() override { return mReal->Count(); }
    std::shared_ptr<sheet::CubeField> Item(int32_t index) override { return wrap(mReal->Item(index)); }
    std::shared_ptr<sheet::CubeField> Item(const std::string& name) override { return wrap(mReal->Item(name)); }

private:
    std::shared_ptr<sheet::CubeField> wrap(std::shared_ptr<sheet::CubeField> real)
    {
        return std::make_shared<CubeField>(std::move(real), mLog);
    }

    std::shared_ptr<sheet::CubeFields> mReal;
    HostLog& mLog;
};

class PivotTable final : public sheet::PivotTable {
public:
    PivotTable(std::shared_ptr<sheet::PivotTable> real, HostLog& log)
        : mReal(std::move(real)), mCubeFields(std::make_shared<FieldList>(mReal->CubeFields(), log)) {}
    std::string Name() override { return mReal->Name(); }
    bool RowGrand() override { return mReal->RowGrand(); }
    void RowGrand(bool on) override { mReal->RowGrand(on); }
    bool ColumnGrand() override { return mReal->ColumnGrand(); }
    void ColumnGrand(bool on) override { mReal->ColumnGrand(on); }
    bool ManualUpdate() override { return mReal->ManualUpdate(); }
    void ManualUpdate(bool on) override { mReal->ManualUpdate(on); }
    void Format(int32_t format) override { mReal->Format(format); }
    // Kept, as the host keeps its collections, so that loops over them stay valid.
    std::shared_ptr<sheet::CubeFields> CubeFields() override { return mCubeFields; }
    std::shared_ptr<sheet::PivotFields> PivotFields() override { return mReal->PivotFields(); }
    std::shared_ptr<sheet::PivotFields> DataFields() override { return mReal->DataFields(); }
    std::shared_ptr<sheet::Worksheet> Parent() override { return mReal->Parent(); }

private:
    std::shared_ptr<sheet::PivotTable> mReal;
    std::shared_ptr<sheet::CubeFields> mCubeFields;
};

}  // namespace

std::shared_ptr<sheet::PivotTable> rejectingTable(std::shared_ptr<sheet::PivotTable> real, HostLog& log)
{
    return std::make_shared<PivotTable>(std::move(real), log);
}
