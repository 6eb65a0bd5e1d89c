#include "wizardrun.h"

#include "wizard/control/nxpivotwizardctrl.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "pivotwizard.h"
#include "support/controls.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/nxdimeditctrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <stdexcept>

namespace pivottest {

namespace {

std::string attachedName(const NxDimEditCtrl* editor)
{
    if (editor->dimension())
        return editor->dimension()->name();
    return editor->kDimension() ? editor->kDimension()->name() : std::string();
}

}  // namespace

WizardRun::WizardRun(const std::filesystem::path& storeFolder, std::shared_ptr<sheet::Application> host,
                     const std::filesystem::path& output)
    : mWindow(QString::fromStdString(storeFolder.string()), std::move(host))
{
    mWindow.setOutputFile(QString::fromStdString(output.string()));
    mWindow.show();
    mWindow.begin();
    if (step() == 0)
        next();
}

int WizardRun::step() const { return mWindow.wizard()->currentStep(); }

void WizardRun::next()
{
    const int before = step();
    findControl<QPushButton>(mWindow.wizard(), "butCommand", 1)->click();
    if (step() == before)
        throw std::runtime_error("the wizard stayed on step " + std::to_string(before + 1));
}

void WizardRun::chooseStoreCube(const std::string& name)
{
    auto* selector = mWindow.wizard()->findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    selector->setSelectorSourceType(NxCubeSelectorCtrl::StoreCube);
    selector->setSelectorCubeName(QString::fromStdString(name));
    next();
}

void WizardRun::chooseLocalCube(const std::filesystem::path& file)
{
    auto* selector = mWindow.wizard()->findChild<NxCubeSelectorCtrl*>(QStringLiteral("NxCubeSelectorCtrl1"));
    selector->setSelectorSourceType(NxCubeSelectorCtrl::LocalCubeFile);
    selector->setSelectorCubeName(QString::fromStdString(file.string()));
    next();
}

void WizardRun::arrange(const Names& pages, const Names& rows, const Names& columns)
{
    const Names* areas[] = {&pages, &rows, &columns};
    for (int area = 1; area <= 3; ++area) {
        auto* list = findControl<QListWidget>(mWindow.wizard(), "lstCubeDetails", area);
        list->clear();
        for (const std::string& name : *areas[area - 1])
            list->addItem(QString::fromStdString(name));
    }
    next();
}

void WizardRun::chooseMeasures(const Names& checked)
{
    auto* editor = mWindow.wizard()->findChild<NxDimEditCtrl*>(QStringLiteral("NxDimEditMembers"));
    editor->checkMembers(editor->checkedMembers(), true);
    PivotWizard::check(editor, checked);
    next();
}

NxDimEditCtrl* WizardRun::editorOf(bool columns, const std::string& dimension) const
{
    const QString name = QString::fromLatin1(columns ? "NxDimEditCols" : "NxDimEditRows");
    for (NxDimEditCtrl* editor : mWindow.wizard()->findChildren<NxDimEditCtrl*>(name))
        if (attachedName(editor) == dimension)
            return editor;
    throw std::runtime_error("no editor shows " + dimension);
}

void WizardRun::chooseMembers(bool columns, const std::vector<MemberChoice>& choices)
{
    auto* list = findControl<QListWidget>(mWindow.wizard(), "lstCubeOptions", columns ? 2 : 1);
    for (const MemberChoice& choice : choices) {
        const auto found = list->findItems(QString::fromStdString(choice.dimension), Qt::MatchExactly);
        if (found.isEmpty())
            throw std::runtime_error("the member step does not list " + choice.dimension);
        list->setCurrentItem(found.front());
        NxDimEditCtrl* editor = editorOf(columns, choice.dimension);
        if (!choice.uncheck.empty())
            PivotWizard::check(editor, choice.uncheck, true);
        if (!choice.check.empty())
            PivotWizard::check(editor, choice.check);
    }
    next();
}

void WizardRun::finish(const Layout& layout)
{
    NxPivotWizardCtrl* wizard = mWindow.wizard();
    auto* sheets = findControl<QComboBox>(wizard, "cboInsertSheet");
    sheets->setCurrentIndex(sheets->findText(QString::fromStdString(layout.sheet)));
    auto* columns = findControl<QComboBox>(wizard, "cboAZ");
    columns->setCurrentIndex(columns->findText(QString::fromStdString(layout.column)));
    findControl<QLineEdit>(wizard, "fraText", 1)->setText(QString::number(layout.row));
    findControl<QCheckBox>(wizard, "chkDisplay", 1)->setChecked(layout.chart);
    findControl<QCheckBox>(wizard, "chkRowGrand")->setChecked(layout.rowGrand);
    findControl<QCheckBox>(wizard, "chkColumnsGrand")->setChecked(layout.columnGrand);
    findControl<QCheckBox>(wizard, "chkRowSubs")->setChecked(layout.rowSubtotals);
    findControl<QCheckBox>(wizard, "chkColumnSubs")->setChecked(layout.columnSubtotals);
    if (layout.decimalPlaces >= 0) {
        auto* box = findControl<QCheckBox>(wizard, "chkDps");
        if (!box->isChecked())
            box->click();
        findControl<QScrollBar>(wizard, "dpscrllbr")->setValue(-layout.decimalPlaces);
    }
    findControl<QPushButton>(wizard, "butCommand", 2)->click();
}

}  // namespace pivottest
