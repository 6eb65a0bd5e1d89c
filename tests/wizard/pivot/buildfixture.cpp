#include "buildfixture.h"

#include "wizard/forms/fmwait.h"
#include "support/controls.h"

#include <QApplication>
#include <QEvent>
#include <QCheckBox>
#include <QLabel>

namespace pivottest {

void BuildFixture::prepareStoreBuild()
{
    useStoreShop();
    prepareDesign();
}

void BuildFixture::prepareLocalBuild()
{
    useLocalShop();
    prepareDesign();
}

void BuildFixture::prepareDesign()
{
    PivotWizard& w = wizard();
    w.arrange({"Region"}, {"Product"}, {"Time"});
    PivotWizard::check(w.openEditor(true, 0, QStringLiteral("Time")), {"[Time].&[2023]", "[Time].&[2024]"});
    PivotWizard::check(w.openMeasures(), {"[Measures].[Amount]", "[Measures].[Units]"});
    w.chooseSheet({"New Sheet"}, "New Sheet");
    w.chooseStartCell(QStringLiteral("C"), QStringLiteral("5"));
}

void BuildFixture::setChecked(const char* box, bool on)
{
    QCheckBox* check = box == std::string("chkDisplay") ? findControl<QCheckBox>(&wizard(), box, 1)
                                                        : findControl<QCheckBox>(&wizard(), box);
    check->setChecked(on);
}

void BuildFixture::setDecimalPlaces(int places)
{
    setChecked("chkDps", true);
    findControl<QLabel>(&wizard(), "lblDps")->setText(QString::number(places));
}

std::shared_ptr<sheet::PivotTable> BuildFixture::builtTable()
{
    // New sheets go after the last, so the last table in tab order is the newest.
    std::shared_ptr<sheet::PivotTable> last;
    for (const auto& sheet : *host()->ActiveWorkbook()->Worksheets())
        if (sheet->PivotTables()->Count() > 0)
            last = sheet->PivotTables()->Item(sheet->PivotTables()->Count());
    return last;
}

std::pair<int, int> BuildFixture::placeOf(const std::shared_ptr<sheet::PivotTable>& table, const std::string& name)
{
    const auto field = table->CubeFields()->Item(name);
    const int orientation = field->Orientation();
    return {orientation, orientation == sheet::kHidden ? 0 : field->Position()};
}

std::vector<std::pair<std::string, int>> BuildFixture::sheetsOfActiveWorkbook()
{
    std::vector<std::pair<std::string, int>> sheets;
    for (const auto& sheet : *host()->ActiveWorkbook()->Worksheets())
        sheets.emplace_back(sheet->Name(), sheet->Visible());
    return sheets;
}

void BuildFixture::writeWorkbook(const std::filesystem::path& file, const std::vector<std::string>& sheets)
{
    const auto book = host()->Workbooks()->Add();
    const auto worksheets = book->Worksheets();
    worksheets->Item(1)->Name(sheets.at(0));
    for (size_t i = 1; i < sheets.size(); ++i)
        worksheets->Add(worksheets->Item(worksheets->Count()))->Name(sheets[i]);
    book->SaveAs(file.string());
    book->Close();
}

bool BuildFixture::screenRestored()
{
    // An unloaded form is deleted once control returns to the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !FmWait::isLoaded() && !QApplication::overrideCursor() && host()->ScreenUpdating();
}

}  // namespace pivottest
