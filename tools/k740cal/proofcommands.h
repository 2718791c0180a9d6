// The commands of k740cal that prove a calibration and make it without the
// program's windows:
//
//     k740cal report FILE.cal -o FILE.pdf
//     k740cal calibrate FILE.cal [--points LIST] [sweep and link options]
//     k740cal measure FILE.cal [--points LIST] [--levels L] [--tolerance DB] ...
//
// report needs fonts, calibrate and measure the demodulator module's
// widgets: MakeApplication() builds the application object the command
// line asks for, on the offscreen platform when there is no display.
#pragma once

#include <QStringList>

#include <memory>

class QCoreApplication;

namespace K740cal {

// Whether the command line (arguments[0] is the program) names one of the
// commands above.
bool IsProofCommand(const QStringList &arguments);
// The application object for this command line.
std::unique_ptr<QCoreApplication> MakeApplication(int &argc, char **argv);
// Runs one of the commands above; answers the exit status.
int RunProofCommand(const QStringList &arguments);
// The lines of the usage text that describe them.
QString ProofUsage();

} // namespace K740cal
