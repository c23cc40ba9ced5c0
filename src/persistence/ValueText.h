#pragma once

#include <QChar>
#include <QString>
#include <QtGlobal>
#include <optional>

// Conversions between the values the player keeps and the texts that stand for them in its
// profile files. They follow the Delphi run-time library the files were first written by
// (Val, StrToIntDef, StrToFloat, FloatToStr), so files written by earlier versions read back
// to the same values.

// Leading spaces, an optional sign, then decimal digits or hexadecimal digits after "0x", "0X",
// "$", "x" or "X"; nothing may follow. Hexadecimal texts up to FFFFFFFF wrap to negative
// numbers, as Val does; anything else outside the signed 32-bit range is refused.
std::optional<qint32> ParseProfileInteger(const QString &text);

qint32 ReadIntegerText(const QString &text, qint32 def);
// An integer whose default is 1 or 0; every non-zero number means true.
bool ReadBoolText(const QString &text, bool def);
// Spaces, a sign, digits around at most one decimal separator, an optional exponent, spaces.
// Any other text, and a result too large for a double, give the default.
double ReadFloatText(const QString &text, double def, QChar decimalSeparator);

QString IntegerText(qint32 value);
QString BoolText(bool value);
// The general number format: at most 15 significant digits, trailing zeros dropped, fixed
// notation from 0.00001 up to 15 integer digits, scientific ("2.5E-7", "1E15") outside.
QString FloatText(double value, QChar decimalSeparator);

// The separator the user's locale settings give at this moment.
QChar LocaleDecimalSeparator();
