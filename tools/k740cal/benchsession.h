// k740cal calibrate and measure: a receiver opened through the receiver API
// and the demodulator module as the program opens one (the module's window
// stays hidden), its live level, a generator over a link, and the sweep or
// the verification of the listed points.
//
// Exit status: 0 done (measure: every level within the tolerance); 1 a point
// that could not be calibrated, or (measure) a level outside the tolerance
// or without calibration; 2 an error (usage, the file, the receiver, the
// generator); 130 stopped by Ctrl+C, with the generator's output off and,
// for calibrate, the points done saved.
#pragma once

#include "benchoptions.h"

namespace K740cal {

int RunCalibrate(const TBenchOptions &options);
int RunMeasure(const TBenchOptions &options);

} // namespace K740cal
