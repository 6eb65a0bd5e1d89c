#include "wizard/errors/messagecatalogue.h"

#include "platform/core/failure.h"

#include <exception>

namespace {
const QString kCR = QStringLiteral("\r");

QString quoted(const QString& text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }
}  // namespace

QString catalogueText(qint32 code, const QString& data, const QString& pendingFailure)
{
    switch (code) {
    case 50001: return QStringLiteral("The Measure Member cannot be moved outside the Row");
    case 50002: return QStringLiteral("Only numbers allowed");
    case 50003: return QStringLiteral("Please select the Column to start from");
    case 50004: return QStringLiteral("Select a different Area as the Row and Column selected clashes");
    case 50005: return QStringLiteral("Please select how the information is to presented");
    case 50006: return QStringLiteral("The Measure ") + quoted(data) + QStringLiteral(" requires at least one member to be selected");
    case 50007: return QStringLiteral("The row and column areas must contain at least one dimension.");
    case 50008:
        return data.isEmpty() ? QStringLiteral("No cube file selected")
                              : quoted(data) + QStringLiteral(" is not a valid cube file");
    case 50009: return QStringLiteral("No cube has been selected");
    case 50010: return QStringLiteral("Unable to read the file ") + quoted(data) + QStringLiteral(" from the store");
    case 50011: return QStringLiteral("Unable to load ") + quoted(data) + QStringLiteral(" to the cube object");
    case 50012: return QStringLiteral("Unable to convert ") + quoted(data) + QStringLiteral(" to a '.BWC' file");
    case 50013: return QStringLiteral("Unable to convert ") + quoted(data) + QStringLiteral(" to a '.cub' file");
    case 50014: return QStringLiteral("Invalid row specified for the row position");
    case 50015: return QStringLiteral("PivotTable already exists on this worksheet");
    case 50016: return QStringLiteral("At least one member for this dimension must be selected");
    case 50017: return QStringLiteral("At least one member of the first child level in this dimension must be selected");
    case 50018: return QStringLiteral("Please select a 'cub' file");
    case 50019: return QStringLiteral("You are not connected to any server");
    case 50020: return QStringLiteral("Unable to connect to the cub file : ") + quoted(data);
    case 50021:
        return QStringLiteral("The cub file : ") + kCR + kCR + quoted(data) + kCR + kCR + QStringLiteral("does not exist");
    case 50022: return QStringLiteral("Could not find the 'cub' file for this cube : ") + kCR + kCR + data;
    case 50023: return QStringLiteral("Could not find the 'bwf' file for this cube : ") + kCR + kCR + data;
    case 50024:
        return QStringLiteral("The selected sheet is protected.") + kCR + kCR
               + QStringLiteral("To build a PivotTable on this sheet you will first need to unprotect it.");
    default: return pendingFailure;
    }
}

QString pendingFailureDescription()
{
    const std::exception_ptr pending = std::current_exception();
    if (!pending)
        return {};
    return QString::fromStdString(platform::toFailure(pending).description());
}
