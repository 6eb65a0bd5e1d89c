// A PivotTable build test: the Shop cube loaded through the cube step, the
// real spreadsheet host, member editors and the layout step set up directly
// as the design steps leave them, and what a build left in the host.
#pragma once

#include "common/wizardtest.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "sheet/host/hostapplication.h"
#include "wizard/forms/fmwait.h"
#include "widgets/nxdimeditctrl.h"

#include <QApplication>

using Sheets = std::vector<std::pair<std::string, int>>;

class BuildTest : public WizardTest {
protected:
    BuildTest() { wizard.xlApp(host); }

    // The Shop cube as store cube Shop or as the cube file Shop.cub, loaded
    // through the cube step.
    void useShop(int kind)
    {
        if (kind == kStoreCube) {
            writeStoreCube(folder.path(), "Shop", shopCube(), {}, kShopMeasures);
            openCube(kStoreCube, QStringLiteral("Shop"));
        } else {
            writeCube(folder / "Shop.cub", "Shop Catalog", "Shop", shopCube(), kShopMeasures);
            openCube(kCubeFile, path("Shop.cub"));
        }
        messages.clear();  // a local Shop warns of Store's two hierarchies
    }
    // Shop with pages [Region], rows [Product], columns [Time] with 2023 and
    // 2024 checked, measures Amount and Units, on a new sheet at C5.
    void prepareBuild(int kind)
    {
        useShop(kind);
        arrange({QStringLiteral("Region")}, {QStringLiteral("Product")}, {QStringLiteral("Time")});
        check(openEditor(2, 0, QStringLiteral("Time")), {"[Time].&[2023]", "[Time].&[2024]"});
        check(openMeasures(), {"[Measures].[Amount]", "[Measures].[Units]"});
        chooseSheet({QStringLiteral("New Sheet")}, QStringLiteral("New Sheet"));
        chooseStartCell(QStringLiteral("C"), QStringLiteral("5"));
    }
    void arrange(const QStringList& pages, const QStringList& rows, const QStringList& columns)
    {
        for (const auto& [area, names] : {std::pair{kBackground, pages}, {kRows, rows}, {kColumns, columns}}) {
            wizard.lstCubeDetails[size_t(area)]->clear();
            wizard.lstCubeDetails[size_t(area)]->addItems(names);
        }
    }
    // Row (area 1) or column (area 2) editor `index`, with `dimension` attached.
    NxDimEditCtrl* openEditor(int area, int index, const QString& dimension)
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
    // The measures editor with the measures attached.
    NxDimEditCtrl* openMeasures()
    {
        if (wizard.cubeSourceKind == kStoreCube)
            wizard.NxDimEditMembers->setDimension(wizard.loadedCube->measuresDimension());
        else
            wizard.NxDimEditMembers->setKDimension(wizard.loadedKCube->dimensions().measuresDimension());
        return wizard.NxDimEditMembers;
    }
    void chooseSheet(const QStringList& entries, const QString& chosen)
    {
        wizard.cboInsertSheet->clear();
        wizard.cboInsertSheet->addItems(entries);
        wizard.cboInsertSheet->setCurrentIndex(wizard.cboInsertSheet->findText(chosen));
    }
    void chooseStartCell(const QString& column, const QString& row)
    {
        wizard.cboAZ->setCurrentIndex(wizard.cboAZ->findText(column));
        wizard.fraText[1]->setText(row);
    }

    // The pivot table of the last build: new sheets go after the last.
    std::shared_ptr<sheet::PivotTable> builtTable()
    {
        std::shared_ptr<sheet::PivotTable> last;
        for (const auto& sheet : *host->ActiveWorkbook()->Worksheets())
            if (sheet->PivotTables()->Count() > 0)
                last = sheet->PivotTables()->Item(sheet->PivotTables()->Count());
        return last;
    }
    // The worksheets of the active workbook with their visibility.
    Sheets sheets()
    {
        Sheets all;
        for (const auto& sheet : *host->ActiveWorkbook()->Worksheets())
            all.emplace_back(sheet->Name(), sheet->Visible());
        return all;
    }
    // Whether the wait form, the hourglass and screen updating are as before a build.
    bool screenRestored()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // an unloaded form goes
        return !FmWait::isLoaded() && !QApplication::overrideCursor() && host->ScreenUpdating();
    }

    std::shared_ptr<sheet::Application> host = sheet::createApplication();
};
