// NxPivotWizardCtrl: the embeddable PivotTable wizard.
//
// A host creates the control, hands it the spreadsheet application (xlApp)
// and the application path, and calls Begin. The control shows one of seven
// step frames at a time, reports every step change through wizardStep and
// ends with PivotResult: true after a PivotTable was built, false on Cancel.
// The host closes its window in response; the control closes the host window
// itself only when the error trap does so after an unexpected failure.
//
// The class is one unit by design, but its procedures live in the folders of
// their steps: control/ (interface, step machine, screens, welcome setting),
// cube/, design/, pivot/, errors/. Every procedure runs under the error trap.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <array>
#include <memory>
#include <source_location>
#include <vector>

#include "errors/errortrap.h"
#include "errors/messageservice.h"

namespace sheet {
class Application;
}
namespace olap {
class Cube;
class KCube;
}

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class NxCubeSelectorCtrl;
class NxDimEditCtrl;
class NxStoreLoader;
class DriveListBox;
class DirListBox;
class FileListBox;

class NxPivotWizardCtrl : public QWidget {
    Q_OBJECT

public:
    explicit NxPivotWizardCtrl(QWidget* parent = nullptr);
    ~NxPivotWizardCtrl() override;

    // ---- Automation interface, in the order of its slots ----

    // The spreadsheet application every spreadsheet operation goes through.
    // Shared with the host, which sets it before Begin; released at destruction.
    std::shared_ptr<sheet::Application> xlApp() const;
    void xlApp(std::shared_ptr<sheet::Application> app);
    // Starts the wizard: moves past the welcome step when the user chose to skip it.
    void Begin();
    // A new list holding the seven step headings, in step order.
    QStringList stepDescriptions() const;
    // The step shown, from 0 (welcome) to 6 (layout).
    qint16 currentStep() const;
    // A path whose folder part is the application folder (where store cubes live).
    void ApplicationPath(const QString& value);
    // Stored for the host; the wizard never reads them.
    void SourceDSN(const QString& value);
    void Provider(const QString& value);
    // The number of elements of a drill or hidden table text.
    qint16 numElements(const QString& aString);
    // Called back by the help form; accepted and ignored.
    void hotTipSet(qint16 value);
    void hotTipEnd(qint16 value);

    // The application folder: every '/'- or '\'-separated component of
    // `applicationPath` but the last, each followed by '/'. Empty for a bare name.
    static QString applicationFolder(const QString& applicationPath);

Q_SIGNALS:
    void PivotResult(bool result);
    void wizardStep(const QString& stepDescription, qint16 stepNum);

protected:
    // ---- Procedures owned by the later steps ----
    // They are virtual so that tests of the step machine can stand in for
    // them; each runs under the trap and reports its own refusals.
    virtual bool CheckValidFileSelected();
    virtual bool LoadCubeDetails();
    virtual bool LoadKCubeDetails();
    virtual void LoadMeasureDetails();
    virtual void LoadDimensionDetails(quint8 dimType);
    virtual bool checkMembersAreSelected(const QString& aDimension);
    virtual void GetActiveWorkbookDetails();
    virtual void chkDps_Click();
    virtual bool CreatePivot();
    // How many measures the user chose on the measures step.
    virtual int chosenMeasureCount();

    // Runs `body` under the error trap as a procedure of this control: a
    // failure closes the host window (the control's top-level window).
    template <class Body>
    void trap(Body&& body, std::source_location where = std::source_location::current())
    {
        runTrapped(kModule, window(), std::forward<Body>(body), where);
    }

    // The message text of a catalogue code, or of the pending failure.
    QVariant General_Error_Trap(qint32 ErrCode, const QString& ErrData);
    // Shows a catalogue message (OK button) with the given title and icon.
    void showCatalogueMessage(qint32 code, const QString& data, const QString& title, MessageIcon icon);

    static constexpr const char* kModule = "NxPivotWizardCtrl";

    // ---- Step machine ----
    void butCommand_Click(int Index);
    void ChangeWizardStep(int Index);
    void writeLabels();
    void setStep(qint16 stepNum);
    void updateCommandButtons();
    void bringToFront(int step);
    bool finishRemainingSteps();
    void stepForward();
    void leaveCubeStep();
    void leaveLayoutStep();
    void leaveMeasuresStep();
    void leaveRowMembersStep();
    void leaveColumnMembersStep();
    void stepBack();
    void suspendRedraw();
    void resumeRedraw();
    static QString selectedEntry(const QListWidget* list);

    // ---- Welcome setting, help, cube step glue ----
    bool SkipFirstPage();
    void chkSkip_Click();
    void butHelp_Click(int Index);
    void SetUpConnectionDialog();
    void cmbCubeFileTypes_Click();
    void dpscrllbr_Change();
    void vRowScroll_Change();
    void initialize();
    void terminate();
    void fillStartColumns();
    void showApplicationFolderInBrowser();

    // ---- Screens (control/screens*.cpp) ----
    void buildScreens();
    QWidget* buildTitleBand(int step, int titleIndex, const QString& title, const QString& designCaption);
    QWidget* buildWelcomeFrame();
    QWidget* buildCubeFrame();
    QWidget* buildLayoutFrame();
    QWidget* buildMeasuresFrame();
    QWidget* buildDimensionMembersFrame(int area);
    QWidget* buildReportLayoutFrame();
    QWidget* buildCommandFrame();
    void buildCheckOptionsMenu();
    QWidget* stepFrame(int step, QWidget* title, QWidget* stepControls);

    // ---- Cube selection and loading (cube/) ----

    // ---- Design steps: layout, members, report layout (design/) ----

    // ---- Control state ----
    std::shared_ptr<sheet::Application> mXlApp;
    QString mApplicationPath;
    QString mSourceDSN;
    QString mProvider;
    std::array<QString, 8> stepTitles;    // 1..7 used
    std::array<QString, 8> stepHeadings;  // 1..7 used
    qint16 mCurrentStep = 0;
    bool skipWelcome = false;
    bool finishing = false;
    qint16 lastDriveIndex = 0;

    // Cube source and loaded cube (cube step).
    quint8 cubeSourceKind = 0;
    QString sourceCube, sourceCatalog, sourceProvider, sourceLocation, cubeFilePath;
    QString storeCatalogName, storeCubeName;
    std::shared_ptr<olap::Cube> loadedCube;
    std::shared_ptr<olap::KCube> loadedKCube;
    quint8 loadedKind = 0;
    QString loadedPath, loadedServerKey;
    QString measuresDimensionName;
    bool measuresInLayout = false;
    QString currentDimensionName;
    QString providerConnectionName;

    // ---- Controls (owned by Qt parentage) ----
    QStackedWidget* frameStack = nullptr;
    std::array<QWidget*, 7> fralayout{};
    QFrame* fraCommand = nullptr;
    std::array<QPushButton*, 4> butCommand{};
    std::array<QToolButton*, 1> butHelp{};
    QLabel* lblWizProgress = nullptr;
    std::array<QLabel*, 6> lblTitle{};
    std::array<QLabel*, 7> lblStepDescription{};  // 1..6 used
    std::array<QLabel*, 30> fraLabel{};
    // Welcome
    QLabel* Image1 = nullptr;
    QCheckBox* chkSkip = nullptr;
    // Select a cube
    NxCubeSelectorCtrl* NxCubeSelectorCtrl1 = nullptr;
    QTabWidget* tabCube = nullptr;
    DriveListBox* DriveCube = nullptr;
    DirListBox* DirCube = nullptr;
    FileListBox* FileCube = nullptr;
    QComboBox* cmbCubeFileTypes = nullptr;
    NxStoreLoader* NxStoreLoader1 = nullptr;
    std::array<QLabel*, 2> lblSelectModel{};
    // Organise dimensions
    std::array<QListWidget*, 4> lstCubeDetails{};
    QLabel* lblUnselected = nullptr;
    std::array<QToolButton*, 2> butMovement{};
    QLabel* lblReportLayout = nullptr;
    // Member steps
    std::array<QListWidget*, 3> lstCubeOptions{};
    NxDimEditCtrl* NxDimEditMembers = nullptr;
    std::vector<NxDimEditCtrl*> NxDimEditRows;
    std::vector<NxDimEditCtrl*> NxDimEditCols;
    QLabel* lblSelectMeasures = nullptr;
    QLabel* lblSelectRows = nullptr;
    QLabel* lblSelectColumns = nullptr;
    // Report layout
    QComboBox* cboInsertSheet = nullptr;
    QComboBox* cboAZ = nullptr;
    std::array<QLineEdit*, 2> fraText{};  // 1 used
    QScrollBar* vRowScroll = nullptr;
    std::array<QCheckBox*, 2> chkDisplay{};
    QLabel* lblFormatOptions = nullptr;
    QCheckBox* chkRowGrand = nullptr;
    QCheckBox* chkColumnsGrand = nullptr;
    QCheckBox* chkRowSubs = nullptr;
    QCheckBox* chkColumnSubs = nullptr;
    QCheckBox* chkDps = nullptr;
    QScrollBar* dpscrllbr = nullptr;
    QLabel* lblDps = nullptr;
    // Right-click menu of the member editors
    QMenu* mnuCheckOptions = nullptr;
};
