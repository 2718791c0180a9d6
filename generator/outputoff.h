// The end of every run that drives a generator: the output goes off whatever
// happened before.
#pragma once

#include "generator/generator.h"

#include <QString>

// Switches the output of a connected generator off. `clean` says whether the
// connection is still in step with the instrument; when it is not (an
// exchange was cut off, a late answer may still come) it is done on a fresh
// connection, which also reaches an instrument that dropped the first.
// Answers `error` with the reason appended when the output could not be
// switched off.
QString SwitchOutputOff(TGenerator &generator, bool clean, const QString &error);
