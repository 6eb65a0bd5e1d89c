#include "wizardtest.h"

#include "wizard/forms/fmwait.h"
#include "wizard/forms/frmerrorhand.h"
#include "wizard/forms/frmhelp.h"
#include "olap/connection/connectionmodel.h"
#include "olap/store/storemodel.h"
#include "widgets/nxcubeselectorctrl.h"
#include "widgets/membertreemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>

NxDimEditCtrl* TestWizard::editorOf(int area, const QString& dimension) const
{
    for (NxDimEditCtrl* editor : area == 1 ? NxDimEditRows : NxDimEditCols)
        if (!attachedName(editor).empty() && attachedName(editor) == dimension.toStdString())
            return editor;
    return nullptr;
}

std::string attachedName(const NxDimEditCtrl* editor)
{
    return editor->dimension() ? editor->dimension()->name()
                               : editor->kDimension() ? editor->kDimension()->name() : std::string();
}

WizardTest::WizardTest() : mWorkingFolder(QDir::currentPath())
{
    errorShown = false;
    wizard.ApplicationPath(path("pivotwizard"));
}

namespace {

// The shared forms outlive a test; the next one starts without them.
void closeSharedForms()
{
    if (frmErrorHand::isLoaded())
        frmErrorHand::instance().close();
    if (FmWait::isLoaded())
        FmWait::instance().close();
    if (frmHelp::isLoaded())
        frmHelp::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    errorShown = false;
}

}  // namespace

WizardTest::~WizardTest()
{
    closeSharedForms();
    QDir::setCurrent(mWorkingFolder);  // the disk browser moves it
}

void WizardTest::TearDown()
{
    if (errorShown && frmErrorHand::isLoaded())
        ADD_FAILURE() << "a failure reached the error trap in " << frmErrorHand::instance().errProcedure.toStdString()
                      << ": " << frmErrorHand::instance().errDescription.toStdString();
}

bool WizardTest::trapped()
{
    const bool shown = errorShown;
    closeSharedForms();
    return shown;
}

bool clickButton(TestWizard& wizard, int index)
{
    const qint16 before = wizard.currentStep();
    wizard.butCommand[size_t(index)]->click();
    return wizard.currentStep() != before;
}

void WizardTest::goToStep(int step)
{
    while (wizard.currentStep() < step && next()) {
    }
}

void WizardTest::chooseCube(int kind, const QString& name, const QString& server, const QString& catalog)
{
    NxCubeSelectorCtrl* selector = wizard.NxCubeSelectorCtrl1;
    selector->setSelectorSourceType(kind);
    if (kind == kServerCube) {
        selector->setSelectorServer(server);
        selector->setSelectorProvider(QStringLiteral("MSOLAP.2"));
        selector->setSelectorCatalog(catalog);
    }
    selector->setSelectorCubeName(name);
}

void WizardTest::openCube(int kind, const QString& name)
{
    if (wizard.currentStep() == 0)
        next();
    chooseCube(kind, name);
    next();
    ASSERT_EQ(wizard.currentStep(), 2) << "the cube " << name.toStdString() << " did not load";
}

void WizardTest::select(QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.front());
}

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QString selected(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

namespace {

DimMember find(const MemberList& members, const std::string& name)
{
    for (int i = 0; i < members.count(); ++i) {
        const DimMember member = members.at(i);
        if (member.uniqueName() == name || member.caption() == name)
            return member;
        if (const DimMember below = find(member.children(), name))
            return below;
    }
    return {};
}

}  // namespace

DimMember memberNamed(const NxDimEditCtrl* editor, const std::string& name)
{
    const MemberList top = editor->dimension() ? MemberList::topMembers(*editor->dimension())
                                               : MemberList::topMembers(*editor->kDimension());
    const DimMember member = find(top, name);
    EXPECT_FALSE(member.isNull()) << "no member " << name;
    return member;
}

void check(NxDimEditCtrl* editor, const Names& names, bool uncheck)
{
    DimMembers members;
    for (const std::string& name : names)
        members.push_back(memberNamed(editor, name));
    editor->checkMembers(members, uncheck);
}

void uncheckAll(NxDimEditCtrl* editor) { editor->checkMembers(editor->checkedMembers(), true); }

Names checkedCaptions(const NxDimEditCtrl* editor)
{
    Names captions;
    for (const DimMember& member : editor->checkedMembers())
        captions.push_back(member.caption());
    return captions;
}
