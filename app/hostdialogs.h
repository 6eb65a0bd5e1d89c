// The questions the host program asks in dialogs of its own: where to save a
// report, and what to do with a report that is not saved. They go through
// one injectable service, as the wizard's message boxes do, so that the
// program shows real dialogs and tests give the answers.
#pragma once

#include <QString>

#include <memory>

class QWidget;

// What the user wants done with a built report that is not saved.
enum class UnsavedAnswer {
    Save,     // choose a file again
    Discard,  // end without saving
    Keep,     // neither yet: back to the window, the report kept
};

class HostDialogs {
public:
    virtual ~HostDialogs() = default;
    // A file to save the report as, offered as `suggested` (a full path);
    // empty when the user cancelled. `parent` is the window asking.
    virtual QString chooseSaveFile(QWidget* parent, const QString& suggested) = 0;
    // Asks what to do with a report that is not saved; `text` says why.
    virtual UnsavedAnswer askUnsaved(QWidget* parent, const QString& text) = 0;
};

// The process-wide service. Until one is installed it is the Qt one: a file
// dialog for workbooks, and a box with Save, Discard and Cancel (Keep).
HostDialogs& hostDialogs();

// Replaces the process-wide service and hands back the previous one.
// Requires: `service` is not null; called on the user-interface thread.
std::unique_ptr<HostDialogs> installHostDialogs(std::unique_ptr<HostDialogs> service);
