// What the host program remembers between runs, in the settings store under
// HKEY_CURRENT_USER "Software\Brennlow\PivotWizard": the cube of the last
// report built and the folder the last report was saved in. All values are
// texts; a missing or unreadable value is simply not remembered.
#pragma once

#include "wizard/control/nxpivotwizardctrl.h"

#include <QDate>
#include <QString>

struct RememberedChoices {
    NxPivotWizardCtrl::CubeChoice cube;  // kind 0 when none is remembered
    QString saveFolder;                  // empty when none is remembered

    static RememberedChoices read();
    // Remembers the cube of a built report (nothing for kind 0).
    static void rememberCube(const NxPivotWizardCtrl::CubeChoice& cube);
    static void rememberSaveFolder(const QString& folder);
};

// The file a new report is offered under: "<cube> <yyyy-mm-dd>.xlsx" in
// `folder`. Characters a file name cannot hold become '-'; without a cube
// name the report is called "PivotTable report".
QString suggestedReportFile(const QString& folder, const QString& cubeName, const QDate& date);
