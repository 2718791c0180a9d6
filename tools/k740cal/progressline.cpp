#include "progressline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;

void Write(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

TProgressLine::TProgressLine() : terminal_(::isatty(::fileno(stderr)) == 1) {}

TProgressLine::~TProgressLine() {
    Clear();
}

void TProgressLine::Clear() {
    if (!barShown_) return;
    Write(QStringLiteral("\r\033[K"));
    barShown_ = false;
}

void TProgressLine::Show(const QString &point, int index, int count, double fraction) {
    if (!terminal_) return;
    const double done = count > 0 ? (index + std::clamp(fraction, 0.0, 1.0)) / count : 0.0;
    const int filled = int(std::lround(done * kBarWidth));
    Write(QStringLiteral("\r\033[K%1 (%2 of %3) [%4%5] %6%")
              .arg(point)
              .arg(index + 1)
              .arg(count)
              .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
              .arg(int(done * 100)));
    barShown_ = true;
}

void TProgressLine::Done(const QString &line) {
    Message(line);
}

void TProgressLine::Message(const QString &line) {
    Clear();
    Write(QStringLiteral("k740cal: %1\n").arg(line));
}
