// StrToFloat: a number typed into a dialog's field, as the dialogs' input
// checks read it.
#pragma once

#include <QString>

// The text as a double: surrounding blanks are ignored, and both the locale's
// decimal separator and a point are accepted (the editor writes values with a
// point). Text that is no number throws platform::EInputError with
// "'<text>' is not a valid floating point value". A negative zero is read as
// 0.0, so that no table entry ever shows "-0.0".
double StrToFloat(const QString &text);
