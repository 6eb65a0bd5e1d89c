// The catalogue of the wizard's user-facing refusals and warnings, by code.
#pragma once

#include <QString>

// The text of catalogue code `code` (50001 to 50024) with `data` filled in
// where the text takes it. Any other code yields `pendingFailure`: the
// description of the failure being handled, or empty when there is none.
// Texts break lines with a single carriage return.
QString catalogueText(qint32 code, const QString& data, const QString& pendingFailure);

// The description of the failure currently being handled (inside a catch
// block or a function called from one); empty when no failure is pending.
QString pendingFailureDescription();
