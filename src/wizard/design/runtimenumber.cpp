#include "wizard/design/runtimenumber.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QString trimmedBlanks(const QString& text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

// "&H1F", "&O17": the bits of a 32-bit value.
std::optional<double> prefixedNumber(const QString& text)
{
    const QChar kind = text.size() > 2 ? text[1].toUpper() : QChar();
    const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
    const int maxDigits = base == 16 ? 8 : 11;
    const QString digits = text.mid(2);
    if (base == 0 || digits.size() > maxDigits)
        return std::nullopt;
    bool ok = false;
    const qulonglong bits = digits.toULongLong(&ok, base);
    if (!ok || bits > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return double(static_cast<qint32>(static_cast<quint32>(bits)));
}

qsizetype skipDigits(const QString& text, qsizetype at)
{
    while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128)
        ++at;
    return at;
}

// Sign, digits, point, digits, exponent: every character must be used.
bool isDecimalNumber(const QString& text)
{
    qsizetype at = 0;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-')))
        ++at;
    const qsizetype wholeStart = at;
    at = skipDigits(text, at);
    qsizetype digitCount = at - wholeStart;
    if (at < text.size() && text[at] == QLatin1Char('.')) {
        const qsizetype fractionStart = ++at;
        at = skipDigits(text, at);
        digitCount += at - fractionStart;
    }
    if (digitCount == 0)
        return false;
    if (at < text.size() && QStringLiteral("eEdD").contains(text[at])) {
        ++at;
        if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-')))
            ++at;
        const qsizetype exponentStart = at;
        at = skipDigits(text, at);
        if (at == exponentStart)
            return false;
    }
    return at == text.size();
}

}  // namespace

std::optional<double> runtimeNumber(const QString& text)
{
    QString number = trimmedBlanks(text);
    if (number.startsWith(QLatin1Char('&')))
        return prefixedNumber(number);
    if (!isDecimalNumber(number))
        return std::nullopt;
    // D marks an exponent as E does.
    number.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint32> runtimeInteger(double value)
{
    // nearbyint rounds in the current rounding mode; to-nearest is the
    // default and sends halves to the even neighbour.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    if (!(rounded >= double(std::numeric_limits<qint32>::min()) && rounded <= double(std::numeric_limits<qint32>::max())))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}
