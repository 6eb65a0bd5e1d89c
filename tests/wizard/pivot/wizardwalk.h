// Clicking through the host window's wizard to Finish on the sample store,
// the way a user does, for the end-to-end tests.
#pragma once

#include "common/wizardtest.h"
#include "hostwindow.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>

// Where the report goes and how it looks; a chart and the column grand
// totals are always asked for.
struct Layout {
    const char* sheet = "New Sheet";
    const char* column = "B";
    int row = 3;
    bool rowGrand = true, rowSubtotals = true, columnSubtotals = true;
    int decimalPlaces = 0;
};

// A member step's changes to the default selection of its dimension.
struct Members {
    const char* dimension;
    Names check, uncheck;
};

// Opens `window` on `host` and the sample store, chooses the cube, fills the
// Pages, Rows and Columns areas with `areas`, checks only `measures`, changes
// one dimension's members on each member step, sets `layout` and clicks
// Finish; true when the wizard ended with a report (saved to `output`, when
// given). Throws when a step refuses Next.
inline bool finishWizard(std::unique_ptr<HostWindow>& window, const std::shared_ptr<sheet::Application>& host,
                         const std::filesystem::path& output, int kind, const std::string& cube,
                         const std::array<QStringList, 3>& areas, const Names& measures,
                         const std::array<Members, 2>& members, const Layout& layout)
{
    const std::filesystem::path store = std::filesystem::path(PIVOTWIZARD_SAMPLES) / "store";
    window = std::make_unique<HostWindow>(QString::fromStdString(store.string()), host);
    window->setOutputFile(QString::fromStdString(output.string()));
    window->show();
    window->begin();
    NxPivotWizardCtrl* wizard = window->wizard();
    auto next = [wizard] {
        const qint16 before = wizard->currentStep();
        findControl<QPushButton>(wizard, "butCommand", 1)->click();
        if (wizard->currentStep() == before)
            throw std::runtime_error("the wizard stayed on step " + std::to_string(before + 1));
    };
    if (wizard->currentStep() == 0)
        next();
    auto* selector = wizard->findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    selector->setSelectorSourceType(kind);
    selector->setSelectorCubeName(QString::fromStdString(cube));
    next();
    for (int area = 1; area <= 3; ++area) {
        findControl<QListWidget>(wizard, "lstCubeDetails", area)->clear();
        findControl<QListWidget>(wizard, "lstCubeDetails", area)->addItems(areas[size_t(area - 1)]);
    }
    next();
    auto* measuresEditor = wizard->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditMembers"));
    uncheckAll(measuresEditor);
    check(measuresEditor, measures);
    next();
    for (int area : {1, 2}) {  // the row members step, then the column members step
        const Members& choice = members[size_t(area - 1)];
        auto* list = findControl<QListWidget>(wizard, "lstCubeOptions", area);
        list->setCurrentItem(list->findItems(QString::fromLatin1(choice.dimension), Qt::MatchExactly).value(0));
        const QString editors = area == 1 ? QStringLiteral("NxDimEditRows") : QStringLiteral("NxDimEditCols");
        for (NxDimEditCtrl* editor : wizard->findChildren<NxDimEditCtrl*>(editors)) {
            if (attachedName(editor) == choice.dimension) {
                check(editor, choice.uncheck, true);
                check(editor, choice.check);
            }
        }
        next();
    }
    auto* sheets = findControl<QComboBox>(wizard, "cboInsertSheet");
    sheets->setCurrentIndex(sheets->findText(QString::fromLatin1(layout.sheet)));
    findControl<QComboBox>(wizard, "cboAZ")->setCurrentText(QString::fromLatin1(layout.column));
    findControl<QLineEdit>(wizard, "fraText", 1)->setText(QString::number(layout.row));
    findControl<QCheckBox>(wizard, "chkDisplay", 1)->setChecked(true);
    findControl<QCheckBox>(wizard, "chkRowGrand")->setChecked(layout.rowGrand);
    findControl<QCheckBox>(wizard, "chkColumnsGrand")->setChecked(true);
    findControl<QCheckBox>(wizard, "chkRowSubs")->setChecked(layout.rowSubtotals);
    findControl<QCheckBox>(wizard, "chkColumnSubs")->setChecked(layout.columnSubtotals);
    findControl<QCheckBox>(wizard, "chkDps")->setChecked(true);
    findControl<QScrollBar>(wizard, "dpscrllbr")->setValue(-layout.decimalPlaces);
    findControl<QPushButton>(wizard, "butCommand", 2)->click();
    return window->result();
}
