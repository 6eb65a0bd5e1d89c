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

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include "sheet/variant.h"
#include "widgets/dimmember.h"
#include "wizard/design/layoutlists.h"
#include "wizard/errors/errortrap.h"
#include "wizard/errors/messageservice.h"

namespace sheet {
class Application;
class PivotTable;
class Workbook;
class Worksheet;
}
namespace olap {
class Cube;
class Dimension;
class KCube;
class KDimension;
}

class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
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

    // ---- For a host that remembers the user's cube between runs ----
    // (control/cubechoice.cpp; not part of the automation interface)
    struct CubeChoice {
        int kind = 0;      // 1 store cube, 2 local cube file, 4 server cube; 0 none
        QString cube;      // store cube name, cube file path, or server cube name
        QString server, catalog, provider;  // a server cube's
        QString cubeName;  // the loaded cube's own name; empty when none is loaded
    };
    // The cube of the selection record: the one the cube step last took over
    // (and, after Finish, the report was built from). Kind 0 before that.
    CubeChoice cubeChoice() const;
    // Puts `choice` into the cube selector, as if the user had chosen it; the
    // cube step then offers it. A store cube that is not in the store leaves
    // no store cube chosen. Changes nothing else.
    void offerCubeChoice(const CubeChoice& choice);

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
    // Enter presses the default button (Next, else Finish); Escape Cancel.
    void keyPressEvent(QKeyEvent* event) override;
    // The default button follows the step: Next, or Finish on the last step.
    void showDefaultButton();
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
    // Each reports its own refusals with a catalogue message.

    // Copies the cube selector's choice into the selection record.
    void copyCubeChoice();
    // The refusal checks of CheckValidFileSelected for the copied choice.
    bool cubeChoiceIsValid();
    // True when the store cube's N.cub and N.bwf are in the application folder.
    bool checkForCubAndBwc(const QString& aCube);
    // The transient store cube file of `sourceCube`: application folder + N + ".BWC".
    QString GetStoreCubePath();
    // Opens the store cube `sourceCube`; nothing on failure. No ".BWC" file is
    // left behind when it returns (unless it cannot be deleted, which is reported).
    std::shared_ptr<olap::Cube> GetCube();
    // The cube file a PivotTable on the loaded cube connects to; empty for a
    // server cube and after a refusal.
    QString CheckForCubFile();
    // Warns when a dimension of `loadedKCube` has several hierarchies; always true.
    bool CheckMultiHierarchies();
    // Empties every list filled from the loaded cube and unloads the member
    // editors created for it.
    void ClearInputBoxes();
    // Clears loadedKind, loadedPath and loadedServerKey.
    void forgetLoadedIdentity();
    // Initial placement: the Rows area when empty, else Columns when empty,
    // else the Background.
    void offerDimension(const QString& name);
    void placeStoreDimensions(const olap::Cube& cube);
    void placeKCubeDimensions(const olap::KCube& cube);
    // The connection-model cube of the selection record; nothing when the
    // server has no such catalog or cube.
    std::shared_ptr<olap::KCube> openKCube();
    QString serverCubeKey() const;
    // The disk browser's handlers and their wiring.
    void connectDiskBrowser();
    void DriveCube_Change();
    void DirCube_Change();
    // A file the user picked in the file list: the selector's local cube file.
    void FileCube_Click(const QString& aPath);
    void showLocalCubeInBrowser();

    // ---- Design steps: layout, members, report layout (design/) ----

    // Dimension layout (design/dimensionlayout.cpp). The mouse, drag and
    // focus events of lstCubeDetails(Index) arrive here through an event
    // relay (design/layoutdrag.h); a drop names its source list.
    void lstCubeDetails_MouseDown(int Index);
    // True when a drag was begun (and has ended by the time this returns).
    bool lstCubeDetails_MouseMove(int Index);
    void lstCubeDetails_MouseUp(int Index);
    void lstCubeDetails_DragDrop(int Index, QListWidget* Source);
    void lstCubeDetails_GotFocus(int Index);
    void butMovement_Click(int Index);
    // Ctrl with arrow key `key` on lstCubeDetails(Index) (design/dimensionlayout.cpp).
    void lstCubeDetails_KeyMove(int Index, int key);
    void wireLayoutList(int Index);
    // The list's selected position, -1 when no entry is selected.
    static int listIndex(const QListWidget* list);

    // Member steps (design/memberselection.cpp, membercheck.cpp, membermenu.cpp).
    void lstCubeOptions_Click(int Index);
    // The dimension of loadedKCube named `aCaption` (exact); nothing when none is.
    std::shared_ptr<olap::KDimension> getKDimension(const QString& aCaption);
    // The editor of dimension `dimName` among the row (rowsOrCols 1) or column
    // editors: true with its element in `pos`; false with the element to use
    // in `pos` (0 while the form's own editor is unused, else a new one).
    bool dimControlExists(const QString& dimName, quint8 rowsOrCols, qint16& pos);
    // Element `pos` of the row (area 1) or column (area 2) editors, created
    // when it does not exist yet. Owned by the editor stack of its step.
    NxDimEditCtrl* memberEditor(int area, qint16 pos);
    // Connects lstCubeOptions(Index) to its click handler.
    void wireDimensionList(int Index);
    // Connects an editor's right-click: area 0 the measures editor, 1 rows, 2 columns.
    void wireMemberEditor(NxDimEditCtrl* editor, int area, int index);
    void setUpMemberEditor(NxDimEditCtrl* editor, const std::shared_ptr<olap::Dimension>& dimension,
                           const std::shared_ptr<olap::KDimension>& kDimension);
    static QString attachedDimensionName(const NxDimEditCtrl* editor);
    void NxDimEditMembers_selectedMemberRightClick(const DimMember& theMember);
    void NxDimEditRows_selectedMemberRightClick(int Index, const DimMember& theMember);
    void NxDimEditCols_selectedMemberRightClick(int Index, const DimMember& theMember);
    void ShowMenu(const DimMember& aMember);
    void wireCheckOptionsMenu();
    void SelectChildren(bool uncheck);
    void SelectSiblings(bool uncheck);
    void SelectAllDescendants(bool uncheck);
    void addChildrenToCollection(DimMembers& mems, const DimMember& aMember);
    void CheckMembers(const DimMembers& mems, bool uncheck);

    // Report layout (design/reportlayout.cpp).
    // Validates the start row in fraText(1) and writes it back as an integer.
    bool StartCellIsValid();
    // The sheet's contents protection, as a Boolean. Requires: aSheet is not null.
    QVariant isSheetProtected(const std::shared_ptr<sheet::Worksheet>& aSheet);

    // Design state.
    bool mouseIsDown = false;
    bool isDragging = false;
    qint16 dragSourceList = 0;
    qint16 focusedLayoutList = 0;
    bool loadingMembers = false;
    DimMember menuMember;         // the member last right-clicked
    qint16 menuEditorIndex = 0;   // the row or column editor it was right-clicked in
    QPoint menuPosition;          // where the menu opens: at the pointer, or the member's row for a key
    bool checkOptionsWired = false;

    // ---- PivotTable build (pivot/) ----
    // The build's working objects and one applied field's member state
    // (pivot/pivotbuild.h); they live for one CreatePivot call.
    struct PivotBuild;
    struct FieldMembers;

    // Sets excelVersion from the host's version text.
    void getXlVer();
    // The target workbook (the active one, else a new one) and worksheet (the
    // one cboInsertSheet names, else a new sheet after the last).
    void SetUpExcel(std::shared_ptr<sheet::Workbook>& aWb, std::shared_ptr<sheet::Worksheet>& aWs);
    // Steps of CreatePivot, in build order (pivot/createpivot.cpp and
    // pivot/pivotfields.cpp). Each returns false when the build must stop.
    bool checkBuildTarget(PivotBuild& build);
    bool buildReport(PivotBuild& build);
    void showWaitForm();
    void advanceProgress();
    void connectPivotCache(PivotBuild& build);
    QString pivotCubeName() const;
    void addChart(PivotBuild& build);
    void placeDimensions(PivotBuild& build, LayoutList area, qint32 orientation);
    bool placeDimension(PivotBuild& build, const QString& name, qint32 orientation, int listPosition,
                        int& counter, FieldMembers& field);
    std::vector<std::string> measureFieldNames();
    void removeSubtotals(PivotBuild& build);
    void addDataFields(PivotBuild& build);
    void setNumberFormat(PivotBuild& build);
    void addMarkerSheet(PivotBuild& build);

    // Drilled and hidden members of one placed dimension's editor, carried
    // over to its field with repair and retry (pivot/memberstates.cpp).
    void applyMemberStates(PivotBuild& build, FieldMembers& field, qint16 pos);
    void fillMemberTables(FieldMembers& field, bool useCaptions);
    void applyDrilledMembers(PivotBuild& build, FieldMembers& field);
    void applyHiddenMembers(PivotBuild& build, FieldMembers& field);
    void assignWithRetries(FieldMembers& field, sheet::VariantArray& array, const std::function<void()>& assign);
    void repairRejectedTable(FieldMembers& field, sheet::VariantArray& array);

    // The drill and hidden tables of a member editor (pivot/membertables.cpp):
    // one row per level, member names in slots 0, 1, ... in list order.
    void GetTreeDrilledAndHiddenArrays(NxDimEditCtrl* aDimEditControl,
                                       const std::shared_ptr<olap::Dimension>& aDimension,
                                       sheet::VariantArray& drilledArray, sheet::VariantArray& hiddenArray,
                                       bool& addDrills, bool& addHidden, bool useCaptions = false);
    void GetKTreeDrilledAndHiddenArrays(NxDimEditCtrl* aDimEditControl,
                                        const std::shared_ptr<olap::KDimension>& aDimension,
                                        sheet::VariantArray& drilledArray, sheet::VariantArray& hiddenArray,
                                        bool& addDrills, bool& addHidden, bool useCaptions = false);
    // Row `aDepth` of a table as a one-dimensional array, empty slots included.
    sheet::VariantArray getArray(const sheet::VariantArray& anArray, qint16 aDepth);
    // "[Dimension].[Level]" of the level on row `aDepth` of the first hierarchy.
    QString getLevelName(const std::shared_ptr<olap::Dimension>& aDim, qint16 aDepth);
    // A copy of a table without its last row.
    sheet::VariantArray shrinkArray(const sheet::VariantArray& anArray);
    // Repairs of a table the host rejected (pivot/tablerepairs.cpp).
    void fixArray2(sheet::VariantArray& anArray);
    void fixArray(sheet::VariantArray& anArray);
    // Whether the pivot table has a cube field, a pivot field, of that exact name.
    bool cubeFieldExists(const QString& aField, const std::shared_ptr<sheet::PivotTable>& aPVTable);
    bool pvFieldExists(const QString& aField, const std::shared_ptr<sheet::PivotTable>& aPVTable);

    // Build state: 9 for the host generation that takes tree-view hidden
    // states, 10 for every later one (set by getXlVer at each build); the
    // key-name flag that fixArray raises on local-file and server tables.
    qint16 excelVersion = 10;
    bool keyNameFlag = false;

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
    std::array<QListWidget*, kLayoutListCount> lstCubeDetails{};
    QLabel* lblUnselected = nullptr;
    std::array<QToolButton*, 2> butMovement{};
    QLabel* lblReportLayout = nullptr;
    QLabel* lblLayoutKeys = nullptr;  // the keys that move dimensions
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
