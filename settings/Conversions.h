#pragma once

#include <QString>

// The strict conversions that start-up applies to stored texts. A text that
// does not convert raises a VorlanError with the runtime's own wording.
namespace Conversions {

// Decimal digits with optional leading blanks and sign; "$" or "0x" starts
// hexadecimal digits. Anything else (empty, trailing blanks or letters, out of
// 32-bit range) fails with "'%s' is not a valid integer value".
int toInteger(const QString &text);
bool tryInteger(const QString &text, int *value);

// Any number (0 off, any other on) or "True"/"False" in any letter case;
// anything else fails with "'%s' is not a valid boolean value".
bool toBoolean(const QString &text);

QString integerError(const QString &text);

} // namespace Conversions
