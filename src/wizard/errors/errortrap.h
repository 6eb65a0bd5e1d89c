// The procedure error trap: the one failure mechanism of the wizard control,
// its forms and the shared module `global`.
//
// A trapped procedure is written as if nothing fails:
//
//     bool NxPivotWizardCtrl::CheckSomething()
//     {
//         bool result = false;
//         trap([&] { ...; result = true; });
//         return result;
//     }
//
// Anything thrown inside the body is recorded in the report form frmErrorHand
// (module, the procedure's signature, description, number, source, last
// platform error), the window the failure happened in is closed, the form is
// shown and the procedure returns what its result held at that moment.
#pragma once

#include <exception>
#include <source_location>
#include <utility>

class QWidget;

// Process-wide: set each time the trap has shown the report form. The next
// activation of FmWait or frmHelp (which happens when the report form closes)
// clears it and skips its own activation work.
extern bool errorShown;

namespace errortrap {

// Handles one trapped failure, in this order: fill frmErrorHand's fields from
// `module`, the signature of `where` and `error`; close `failingWindow` (null:
// close nothing); show the form modeless, or modally when another modal window
// is up; set errorShown.
// A failure while doing so is not trapped again: it propagates to the caller.
// Requires: a QApplication exists; `error` is not null.
void handle(const char* module, const std::source_location& where, QWidget* failingWindow,
            const std::exception_ptr& error);

// The signature text recorded for a procedure: its declaration as the
// compiler spells it, e.g. "bool NxPivotWizardCtrl::CheckValidFileSelected()".
const char* signatureText(const std::source_location& where);

}  // namespace errortrap

// Runs `body` under the trap. `where` must be left to its default so that it
// names the calling procedure.
template <class Body>
void runTrapped(const char* module, QWidget* failingWindow, Body&& body,
                std::source_location where = std::source_location::current())
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
        errortrap::handle(module, where, failingWindow, std::current_exception());
    }
}
