// k740cal: the command-line tool for ".cal" files. It works only through
// smetersdk.dll, bound by name as the program binds it, and never reads the
// file format itself.
//
//     k740cal info FILE [--json]
//     k740cal export FILE [--receiver R] [--mode M] [--frequency HZ] [-o OUT.csv]
//     k740cal import FILE IN.csv [--replace]
//     k740cal verify FILE
//     k740cal diff A B
//     k740cal report FILE [-o OUT.pdf]        (proofcommands.h)
//
// Exit status: 0 success, 1 a refused input (a file that does not load, a CSV
// that is refused, a failed write; for diff: the sets differ), 2 a usage
// error. Results go to standard output, messages to standard error.
#pragma once

#include <QStringList>

namespace K740cal {

enum ExitStatus { kSuccess = 0, kRefused = 1, kUsage = 2 };

// Runs one command line (arguments[0] is the program) on the core
// application that exists; answers the exit status.
int Run(const QStringList &arguments);

} // namespace K740cal
