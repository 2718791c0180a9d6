// The one reading of a number typed into a dialog's field.
#pragma once

#include <QString>

#include <optional>

// The text as a double: surrounding blanks are ignored, and both the locale's
// decimal separator and a point are accepted (the editor writes values with a
// point); group separators are refused, so "1,500" is no number rather than
// 1500. Infinities and NaN are no numbers. A negative zero is read as 0.0, so
// that no table entry ever shows "-0.0". Nothing for text that is no number.
std::optional<double> ParseFloat(const QString &text);

// ParseFloat for the dialogs' input checks: text that is no number throws
// platform::EInputError with "'<text>' is not a valid floating point value".
double StrToFloat(const QString &text);
