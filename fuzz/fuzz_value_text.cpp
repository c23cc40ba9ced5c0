// The texts of the settings values: integers, switches and the volume. Each
// parser is held against the C library's own conversion of the same number,
// and every value the writers produce reads back.
#include "FuzzCheck.h"
#include "persistence/ValueText.h"

#include <QHash>
#include <QRegularExpression>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

const QChar kSeparators[] = {u'.', u',', QChar(0x066B)};

bool SameDouble(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The integer texts: spaces, a sign, then decimal digits, or hexadecimal
// ones behind "0x", "$" or "x". Hexadecimal texts name 32 bits, decimal ones
// a number within the signed range.
// (The patterns end in \z: "$" would also match before a final line end.)
std::optional<qint32> ReferenceInteger(const QString &text) {
    static const QRegularExpression form(
        QStringLiteral("^ *([+-]?)(?:(0[xX]|[$xX])([0-9a-fA-F]+)|([0-9]+))\\z"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const bool negative = m.captured(1) == u'-';
    const bool hex = !m.captured(2).isEmpty();
    const QByteArray digits = (hex ? m.captured(3) : m.captured(4)).toLatin1();
    errno = 0;
    const unsigned long long magnitude = std::strtoull(digits.constData(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE)
        return std::nullopt;
    const unsigned long long limit = hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
    if (magnitude > limit)
        return std::nullopt;
    const std::uint32_t bits = std::uint32_t(magnitude);
    return std::bit_cast<qint32>(negative ? std::uint32_t(0u - bits) : bits);
}

// The number texts: spaces, a sign, digits around at most one separator, an
// optional exponent, spaces. A number too large for a double is none; one
// too small is 0 (with its sign) or the nearest subnormal, as strtod gives.
std::optional<double> ReferenceFloat(const QString &text, QChar separator) {
    static QHash<QChar, QRegularExpression> forms;
    auto form = forms.find(separator);
    if (form == forms.end()) {
        const QString sep = QRegularExpression::escape(QString(separator));
        form = forms.insert(separator,
                            QRegularExpression(QStringLiteral("^ *([+-]?)([0-9]*)(?:%1([0-9]*))?"
                                                              "(?:[eE]([+-]?[0-9]+))? *\\z")
                                                   .arg(sep)));
    }
    const QRegularExpressionMatch m = form->match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return std::nullopt;
    QByteArray c =
        m.captured(1).toLatin1() + m.captured(2).toLatin1() + '.' + m.captured(3).toLatin1();
    if (m.capturedLength(4) > 0)
        c += 'e' + m.captured(4).toLatin1();
    errno = 0;
    const double value = std::strtod(c.constData(), nullptr);
    if (errno == ERANGE && std::isinf(value))
        return std::nullopt;
    return value;
}

void CheckInteger(const QString &text) {
    const std::optional<qint32> parsed = ParseProfileInteger(text);
    const std::optional<qint32> expected = ReferenceInteger(text);
    if (parsed != expected) {
        FuzzShow("text", text);
        std::fprintf(stderr, "parsed %s%d, expected %s%d\n", parsed ? "" : "none ",
                     parsed.value_or(0), expected ? "" : "none ", expected.value_or(0));
        FuzzFail("ParseProfileInteger agrees with strtoull", __FILE__, __LINE__);
    }
    FUZZ_CHECK(ReadBoolText(text, true) == (parsed ? *parsed != 0 : true));
}

void CheckFloat(const QString &text, QChar separator) {
    const double kNone = std::nan("");
    const double read = ReadFloatText(text, kNone, separator);
    const std::optional<double> expected = ReferenceFloat(text, separator);
    const bool agree = expected ? SameDouble(read, *expected) : std::isnan(read);
    if (!agree) {
        FuzzShow("text", text);
        std::fprintf(stderr, "read %.17g, expected %s%.17g\n", read, expected ? "" : "none ",
                     expected.value_or(0.0));
        FuzzFail("ReadFloatText agrees with strtod", __FILE__, __LINE__);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QChar separator = kSeparators[in.ConsumeIntegralInRange<size_t>(0, 2)];
    const qint32 integer = in.ConsumeIntegral<qint32>();
    const double number = std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
    const QString text = QString::fromStdString(in.ConsumeRemainingBytesAsString());

    // Values the writers produce read back.
    FUZZ_CHECK(ParseProfileInteger(IntegerText(integer)) == integer);
    FUZZ_CHECK(ReadBoolText(BoolText(integer != 0), integer == 0) == (integer != 0));
    // The largest doubles are left out: written with 15 digits they round
    // past the largest one, and read back as no number, as the run-time
    // library reads them.
    if (std::isfinite(number) && std::fabs(number) < 1.7976931348623e308) {
        const double back = ReadFloatText(FloatText(number, separator), std::nan(""), separator);
        // Fifteen significant digits: within a few units of the 15th digit.
        FUZZ_CHECK(std::fabs(back - number) <= std::fabs(number) * 1e-14);
        FUZZ_CHECK(number == 0.0 || std::signbit(back) == std::signbit(number));
        const float volume = float(number);
        if (std::isfinite(volume)) {
            const double text = ReadFloatText(FloatText(double(volume), separator), 0, separator);
            FUZZ_CHECK(float(text) == volume);
        }
    }

    // Any text: the parsers agree with the C library on what is a number.
    CheckInteger(text);
    CheckFloat(text, separator);
    CheckFloat(text, u'.');
    return 0;
}
