#include "buildfixture.h"

#include "wizard/forms/fmwait.h"
#include "wizard/pivot/pivotbuild.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

void BuildTest::useShop(int kind, bool measureList)
{
    if (kind == kStoreCube) {
        writeStoreCube(folder.path(), "Shop", shopCube(measureList), {measureList, "Measure List"}, kShopMeasures);
        openCube(kStoreCube, QStringLiteral("Shop"));
    } else {
        writeCube(folder / "Shop.cub", "Shop Catalog", "Shop", shopCube(), kShopMeasures);
        openCube(kCubeFile, path("Shop.cub"));
    }
    messages.clear();  // a local Shop warns of Store's two hierarchies
}

void BuildTest::prepareBuild(int kind)
{
    useShop(kind);
    arrange({QStringLiteral("Region")}, {QStringLiteral("Product")}, {QStringLiteral("Time")});
    check(openEditor(2, 0, QStringLiteral("Time")), {"[Time].&[2023]", "[Time].&[2024]"});
    check(openMeasures(), {"[Measures].[Amount]", "[Measures].[Units]"});
    chooseSheet({QStringLiteral("New Sheet")}, QStringLiteral("New Sheet"));
    chooseStartCell(QStringLiteral("C"), QStringLiteral("5"));
}

void BuildTest::arrange(const QStringList& pages, const QStringList& rows, const QStringList& columns)
{
    const QStringList* areas[] = {&pages, &rows, &columns};
    for (size_t area = 1; area <= 3; ++area) {
        wizard.lstCubeDetails[area]->clear();
        wizard.lstCubeDetails[area]->addItems(*areas[area - 1]);
    }
}

NxDimEditCtrl* BuildTest::openEditor(int area, int index, const QString& dimension)
{
    NxDimEditCtrl* editor = wizard.memberEditor(area, qint16(index));
    if (wizard.cubeSourceKind == kStoreCube) {
        editor->setDimension(wizard.loadedCube->dimensionByName(dimension.toStdString()));
        return editor;
    }
    for (const auto& candidate : wizard.loadedKCube->dimensions())
        if (candidate->name() == dimension.toStdString())
            editor->setKDimension(candidate);
    return editor;
}

NxDimEditCtrl* BuildTest::openMeasures(bool measureList)
{
    if (measureList)
        wizard.NxDimEditMembers->setDimension(wizard.loadedCube->measureListDimension());
    else if (wizard.cubeSourceKind == kStoreCube)
        wizard.NxDimEditMembers->setDimension(wizard.loadedCube->measuresDimension());
    else
        wizard.NxDimEditMembers->setKDimension(wizard.loadedKCube->dimensions().measuresDimension());
    return wizard.NxDimEditMembers;
}

void BuildTest::chooseSheet(const QStringList& entries, const QString& chosen)
{
    wizard.cboInsertSheet->clear();
    wizard.cboInsertSheet->addItems(entries);
    wizard.cboInsertSheet->setCurrentIndex(wizard.cboInsertSheet->findText(chosen));
}

void BuildTest::chooseStartCell(const QString& column, const QString& row)
{
    wizard.cboAZ->setCurrentIndex(wizard.cboAZ->findText(column));
    wizard.fraText[1]->setText(row);
}

void BuildTest::applyMembers(const std::shared_ptr<sheet::PivotTable>& table, const QString& dimension,
                             quint8 orientationKind)
{
    TestWizard::PivotBuild build;
    build.pt = table;
    build.orientationKind = orientationKind;
    TestWizard::FieldMembers field;
    NxDimEditCtrl* editor = wizard.editorOf(orientationKind, dimension);
    field.dimension = editor->dimension();
    field.kDimension = editor->kDimension();
    wizard.applyMemberStates(build, field, 0);
}

std::shared_ptr<sheet::PivotTable> BuildTest::builtTable()
{
    // New sheets go after the last, so the last table in tab order is the newest.
    std::shared_ptr<sheet::PivotTable> last;
    for (const auto& sheet : *host->ActiveWorkbook()->Worksheets())
        if (sheet->PivotTables()->Count() > 0)
            last = sheet->PivotTables()->Item(sheet->PivotTables()->Count());
    return last;
}

std::pair<int, int> BuildTest::placeOf(const std::shared_ptr<sheet::PivotTable>& table, const std::string& name)
{
    const auto field = table->CubeFields()->Item(name);
    const int orientation = field->Orientation();
    return {orientation, orientation == sheet::kHidden ? 0 : field->Position()};
}

std::vector<std::pair<std::string, int>> BuildTest::sheets()
{
    std::vector<std::pair<std::string, int>> all;
    for (const auto& sheet : *host->ActiveWorkbook()->Worksheets())
        all.emplace_back(sheet->Name(), sheet->Visible());
    return all;
}

bool BuildTest::screenRestored()
{
    // An unloaded form is deleted once control returns to the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !FmWait::isLoaded() && !QApplication::overrideCursor() && host->ScreenUpdating();
}

sheet::VariantArray table(const Rows& rows)
{
    const size_t columns = rows.empty() ? 0 : rows.front().size();
    sheet::VariantArray result = sheet::VariantArray::twoDimensional(rows.size(), columns);
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < columns; ++j)
            result(i, j) = rows[i].at(j);
    return result;
}

Rows rowsOf(const sheet::VariantArray& table)
{
    Rows rows;
    for (int i = 0; i <= table.upperBound(1); ++i) {
        rows.emplace_back();
        for (int j = 0; j <= table.upperBound(2); ++j)
            rows.back().push_back(table(size_t(i), size_t(j)));
    }
    return rows;
}
