// The entry of k740cal. A console program: a core application; the layers
// below answer their failures as texts, which the commands print on
// standard error.
#include "k740cal.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
    // Writing past the file size limit then fails with an error, which the
    // library reports, instead of ending the process with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k740cal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(K740_VERSION_STRING));
    try {
        return K740cal::Run(QCoreApplication::arguments());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "k740cal: %s\n", error.what());
        return K740cal::kRefused;
    }
}
