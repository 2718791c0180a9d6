#include "interruptwatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gPipe[2] = {-1, -1};
struct sigaction gOldInt, gOldTerm;

void OnSignal(int number) {
    const char byte = char(number);
    // Nothing else is safe in a signal handler; a full pipe already holds
    // the news.
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    // A second signal ends the program as if no handler were installed.
    std::signal(number, SIG_DFL);
}

} // namespace

TInterruptWatch::TInterruptWatch(QObject *parent) : QObject(parent) {
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TInterruptWatch::Read);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &gOldInt);
    sigaction(SIGTERM, &action, &gOldTerm);
}

TInterruptWatch::~TInterruptWatch() {
    if (!notifier_) return;
    sigaction(SIGINT, &gOldInt, nullptr);
    sigaction(SIGTERM, &gOldTerm, nullptr);
    notifier_.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void TInterruptWatch::Read() {
    char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1)
        if (!signal_) signal_ = byte;
    if (interrupted_) return;
    interrupted_ = true;
    emit Interrupted();
}
