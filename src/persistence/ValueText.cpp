#include "persistence/ValueText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int HexDigitValue(QChar c) {
    if (IsDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// The run-time library skips spaces only; a tab in front of a number makes it no number.
qsizetype SkipSpaces(const QString &text, qsizetype i) {
    while (i < text.size() && text[i] == u' ')
        ++i;
    return i;
}

} // namespace

std::optional<qint32> ParseProfileInteger(const QString &text) {
    const qsizetype n = text.size();
    qsizetype i = SkipSpaces(text, 0);
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    } else if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    }
    if (i == n)
        return std::nullopt;

    // Hexadecimal texts name a bit pattern, so the whole unsigned range is allowed and wraps;
    // a decimal text names a number, which must fit as it stands (with "-2147483648" fitting).
    const quint64 limit = hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
    const int base = hex ? 16 : 10;
    quint64 magnitude = 0;
    for (; i < n; ++i) {
        const int digit =
            hex ? HexDigitValue(text[i]) : (IsDigit(text[i]) ? text[i].unicode() - u'0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + quint64(digit);
        if (magnitude > limit)
            return std::nullopt;
    }
    quint32 bits = quint32(magnitude);
    if (negative)
        bits = 0u - bits;
    return qint32(bits);
}

qint32 ReadIntegerText(const QString &text, qint32 def) {
    return ParseProfileInteger(text).value_or(def);
}

bool ReadBoolText(const QString &text, bool def) {
    return ReadIntegerText(text, def ? 1 : 0) != 0;
}

double ReadFloatText(const QString &text, double def, QChar decimalSeparator) {
    const qsizetype n = text.size();
    qsizetype i = SkipSpaces(text, 0);
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    std::string digits;
    qsizetype digitsBeforePoint = -1;
    for (; i < n; ++i) {
        if (IsDigit(text[i]))
            digits += char(text[i].unicode());
        else if (text[i] == decimalSeparator && digitsBeforePoint < 0)
            digitsBeforePoint = qsizetype(digits.size());
        else
            break;
    }
    if (digits.empty())
        return def;
    if (digitsBeforePoint < 0)
        digitsBeforePoint = qsizetype(digits.size());

    std::string exponent;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'-' || text[i] == u'+')) {
            if (text[i] == u'-')
                exponent += '-';
            ++i;
        }
        const qsizetype first = i;
        for (; i < n && IsDigit(text[i]); ++i)
            exponent += char(text[i].unicode());
        if (i == first)
            return def;
    }
    if (SkipSpaces(text, i) != n)
        return def;

    // Rebuilt in the C form, so that the conversion itself never depends on a locale.
    std::string ascii = negative ? "-" : "";
    ascii += digits.substr(0, size_t(digitsBeforePoint));
    ascii += '.';
    ascii += digits.substr(size_t(digitsBeforePoint));
    if (!exponent.empty())
        ascii += 'e' + exponent;

    double value = 0.0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold is zero, as the run-time library has it; too large is no number.
        const size_t firstNonZero = digits.find_first_not_of('0');
        if (firstNonZero == std::string::npos)
            return negative ? -0.0 : 0.0;
        long long scale = (long long)digitsBeforePoint - (long long)firstNonZero - 1;
        if (!exponent.empty()) {
            const bool exponentNegative = exponent.front() == '-';
            // Only the sign of the sum matters, and a long exponent outweighs any mantissa.
            // Leading zeros do not make it long: "1e-0000000001" is 1e-1.
            const size_t firstDigit = exponent.find_first_not_of('0', exponentNegative ? 1 : 0);
            const bool exponentLong =
                firstDigit != std::string::npos && exponent.size() - firstDigit > 9u;
            long long e = 0;
            if (exponentLong)
                e = exponentNegative ? -1'000'000'000'000LL : 1'000'000'000'000LL;
            else
                std::from_chars(exponent.data(), exponent.data() + exponent.size(), e);
            scale += e;
        }
        return scale < 0 ? (negative ? -0.0 : 0.0) : def;
    }
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return def;
    return value;
}

QString IntegerText(qint32 value) {
    return QString::number(value);
}

QString BoolText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString FloatText(double value, QChar decimalSeparator) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0.0)
        return QStringLiteral("0");

    // Rounding to 15 significant digits first decides the notation on the rounded value, so a
    // number just below a boundary that rounds onto it is written like the boundary itself.
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, size_t(result.ptr - buffer));
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const size_t ePos = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, ePos))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string_view exponentText = text.substr(ePos + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    QString out;
    if (negative)
        out += u'-';
    const auto digitsText = [&](size_t from, size_t count = std::string::npos) {
        const std::string part = digits.substr(from, count);
        return QString::fromLatin1(part.data(), qsizetype(part.size()));
    };
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            const size_t integerDigits = size_t(exponent) + 1;
            if (digits.size() <= integerDigits) {
                out += digitsText(0) + QString(qsizetype(integerDigits - digits.size()), u'0');
            } else {
                out += digitsText(0, integerDigits) + decimalSeparator + digitsText(integerDigits);
            }
        } else {
            out += u'0' + QString(decimalSeparator) + QString(-exponent - 1, u'0') + digitsText(0);
        }
    } else {
        out += digitsText(0, 1);
        if (digits.size() > 1)
            out += decimalSeparator + digitsText(1);
        out += u'E' + QString::number(exponent);
    }
    return out;
}

QChar LocaleDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}
