#include "wizard/settings/global.h"

#include "wizard/errors/errortrap.h"
#include "platform/core/failure.h"
#include "platform/services/tempfile.h"

#include <QFile>

#include <limits>

namespace {

// The field counter is 16 bits wide, as callers store it; one field more
// than it holds is an overflow rather than a wrong count.
qint16 countOneMore(qint16 count)
{
    if (count == std::numeric_limits<qint16>::max())
        throw platform::Failure(platform::err::kOverflow, "Overflow");
    return static_cast<qint16>(count + 1);
}

}  // namespace

QString getATempFileName()
{
    const std::filesystem::path made = platform::createTempFile("bwt");
    return made.empty() ? QString() : QFile::decodeName(made.c_str());
}

qint16 splitLine(QString Line, const QString& seperator, QStringList& elements)
{
    qint16 result = 0;
    runTrapped("global", nullptr, [&] {
        elements = QStringList{QString()};
        // An empty separator would match everywhere without consuming
        // anything, so the counter could only run over.
        if (seperator.isEmpty())
            throw platform::Failure(platform::err::kOverflow, "Overflow");
        if (!Line.endsWith(seperator))
            Line += seperator;
        qint16 count = 0;
        qsizetype from = 0;
        for (qsizetype at; (at = Line.indexOf(seperator, from)) >= 0; from = at + seperator.size()) {
            elements.last() = Line.mid(from, at - from);
            count = countOneMore(count);
            elements.append(QString());
        }
        elements.removeLast();
        result = count;
    });
    return result;
}
