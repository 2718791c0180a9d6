#include "demodsession.h"

#include "demodwindow.h"
#include "k740sim.h"
#include "spectrumview.h"
#include "zxk740api.h"

#include <QAbstractButton>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

// Passband width each mode starts with, Hz.
constexpr std::array<std::int32_t, 8> DefaultWidths = {500,  6000, 12000, 180000,
                                                       2400, 2400, 9000,  6000};

bool isMode(std::int32_t mode) {
    return mode >= 0 && mode < DemodWindow::ModeCount;
}

std::uint32_t read32(const std::uint8_t *p) {
    return qFromLittleEndian<quint32>(p);
}

QString megahertz(std::uint64_t hz) {
    return QString::number(double(hz) / 1e6, 'f', 6);
}

} // namespace

DemodSession::DemodSession(std::intptr_t, const void *radioRecord, QmvHostCallback callback,
                           const QString &hostName)
    : callback_(callback), widths_(DefaultWidths), width_(DefaultWidths[InitialMode]), power_(Bins),
      levels_(Bins) {
    if (radioRecord) {
        const auto *record = static_cast<const std::uint8_t *>(radioRecord);
        readRecord(record, read32(record + QMV_REC_SIZE));
    }

    window_ = new DemodWindow;
    window_->setToolTip(hostName.isEmpty() ? QString() : QStringLiteral("Host: ") + hostName);
    window_->showMode(mode_);
    window_->showWidth(width_);
    window_->showOffset(offset_);
    int32_t on = 0;
    std::uint64_t hz = 0;
    double dbm = 0;
    k740sim_GetGenerator(&on, &hz, &dbm);
    if (highestHz_ > lowestHz_) window_->setGeneratorRange(lowestHz_, highestHz_);
    window_->showGenerator(on != 0, hz, dbm);
    connect(window_, &DemodWindow::modeChosen, this, &DemodSession::chooseMode);
    connect(window_, &DemodWindow::widthChosen, this, &DemodSession::chooseWidth);
    connect(window_, &DemodWindow::offsetChosen, this, &DemodSession::chooseOffset);
    connect(window_, &DemodWindow::generatorChosen, this, &DemodSession::chooseGenerator);
    connect(window_, &DemodWindow::generatorToPassband, this, &DemodSession::generatorToPassband);
    windowHandle_ = std::intptr_t(window_->winId());

    // The generator is remote-controlled while the window is open.
    const int port = k740sim_ScpiOpen();
    remoteOpen_ = port > 0;
    char path[256] = {};
    k740sim_SerialAdapterPath(path, sizeof path);
    window_->showRemoteAddresses(port, k740sim_AdapterPort(), QString::fromLocal8Bit(path));
    generatorChanges_ = k740sim_GeneratorChanges();
    followTimer_.setInterval(100);
    connect(&followTimer_, &QTimer::timeout, this, &DemodSession::followGenerator);
    followTimer_.start();

    if (rx_ >= 0) tunedHz_ = k740sim_TunedFrequency(rx_);
    passbandChanged();

    timer_.setInterval(SpectrumPeriodMs());
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DemodSession::tick);
}

int DemodSession::SpectrumPeriodMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("K740DEMOD_SPECTRUM_MS", &ok);
    return ok && ms >= 5 && ms <= 1000 ? ms : PeriodMs;
}

DemodSession::~DemodSession() {
    stopped_ = true;
    timer_.stop();
    closeRemote();
    delete window_.data();
}

void DemodSession::readRecord(const std::uint8_t *record, std::uint32_t size) {
    if (size < QMV_REC_MODES + 4) return;
    const auto *serial = reinterpret_cast<const char *>(record + QMV_REC_SERIAL);
    serial_ = QString::fromLatin1(serial, qstrnlen(serial, 16));
    if (read32(record + QMV_REC_RANGE_COUNT) >= 1) {
        if (const std::uint8_t *range =
                qmvRecordField(record, size, read32(record + QMV_REC_RANGES), 12)) {
            lowestHz_ = std::uint64_t(read32(range)) * 1000;
            highestHz_ = std::uint64_t(read32(range + 4)) * 1000;
        }
    }
    const QByteArray text = serial_.toLatin1();
    rx_ = k740sim_FindReceiver(text.constData());
    if (rx_ >= 0 && highestHz_ <= lowestHz_) {
        k740sim_info info{};
        if (k740sim_GetInfo(rx_, &info)) {
            lowestHz_ = info.lowestHz;
            highestHz_ = info.highestHz;
        }
    }
    if (window_) {
        if (highestHz_ > lowestHz_) window_->setGeneratorRange(lowestHz_, highestHz_);
    }
}

std::intptr_t DemodSession::callHost(std::int32_t message, std::intptr_t value1,
                                     std::intptr_t value2, std::intptr_t value3) {
    if (stopped_ || !callback_) return 0;
    ++callDepth_;
    const std::intptr_t answer = callback_(windowHandle_, message, value1, value2, value3);
    --callDepth_;
    return answer;
}

void DemodSession::reportChanges(bool includeMode) {
    if (includeMode && reportedMode_ != mode_) {
        reportedMode_ = mode_;
        callHost(QMV_HOST_MODE, mode_);
    }
    if (reportedWidth_ != width_) {
        reportedWidth_ = width_;
        callHost(QMV_HOST_WIDTH, width_);
    }
    if (reportedOffset_ != offset_) {
        reportedOffset_ = offset_;
        callHost(QMV_HOST_OFFSET, offset_);
    }
}

std::pair<std::int32_t, std::int32_t> DemodSession::passbandEdges() const {
    if (mode_ == QMV_MODE_LSB) return {offset_ - width_, offset_};
    if (mode_ == QMV_MODE_USB) return {offset_, offset_ + width_};
    return {offset_ - width_ / 2, offset_ + width_ - width_ / 2};
}

void DemodSession::passbandChanged() {
    if (rx_ >= 0) k740sim_SetPassband(rx_, mode_, width_, offset_);
    if (!window_) return;
    const auto [low, high] = passbandEdges();
    window_->spectrum()->setPassband(low, high);
    window_->showMode(mode_);
    window_->showWidth(width_);
    window_->showOffset(offset_);
    QString receiver;
    if (rx_ < 0)
        receiver = QStringLiteral("No simulated receiver");
    else if (serial_.isEmpty())
        receiver = QStringLiteral("Receiver: DEMO");
    else
        receiver = QStringLiteral("Receiver: ") + serial_;
    window_->showReceiver(receiver);
    window_->spectrum()->setCaption(
        megahertz(tunedHz_) + QStringLiteral(" MHz"),
        DemodWindow::ModeName(mode_) +
            QStringLiteral("  %1 kHz").arg(width_ / 1000.0, 0, 'f', width_ % 100 ? 2 : 1));
}

void DemodSession::applyMode(std::int32_t mode) {
    if (!isMode(mode) || mode == mode_) return;
    mode_ = mode;
    width_ = widths_[std::size_t(mode)];
    passbandChanged();
}

void DemodSession::chooseMode(std::int32_t mode) {
    if (stopped_) return;
    applyMode(mode);
    reportChanges(true);
}

void DemodSession::chooseWidth(std::int32_t hz) {
    if (stopped_ || hz <= 0 || hz == width_) return;
    width_ = hz;
    widths_[std::size_t(mode_)] = hz;
    passbandChanged();
    reportChanges(false);
}

void DemodSession::chooseOffset(std::int32_t hz) {
    if (stopped_ || hz == offset_) return;
    offset_ = hz;
    passbandChanged();
    reportChanges(false);
}

void DemodSession::chooseGenerator(bool on, std::uint64_t hz, double dbm) {
    k740sim_SetGenerator(on ? 1 : 0, hz, dbm);
    generatorChanges_ = k740sim_GeneratorChanges();
}

void DemodSession::followGenerator() {
    const std::uint32_t changes = k740sim_GeneratorChanges();
    if (changes == generatorChanges_ || !window_) return;
    generatorChanges_ = changes;
    int32_t on = 0;
    std::uint64_t hz = 0;
    double dbm = 0;
    k740sim_GetGenerator(&on, &hz, &dbm);
    window_->showGenerator(on != 0, hz, dbm);
}

void DemodSession::closeRemote() {
    followTimer_.stop();
    if (remoteOpen_) k740sim_ScpiClose();
    remoteOpen_ = false;
}

void DemodSession::generatorToPassband() {
    int32_t on = 0;
    std::uint64_t hz = 0;
    double dbm = 0;
    k740sim_GetGenerator(&on, &hz, &dbm);
    const auto [low, high] = passbandEdges();
    const std::int64_t centre = std::int64_t(tunedHz_) + (std::int64_t(low) + high) / 2;
    hz = std::uint64_t(std::max<std::int64_t>(centre, 0));
    k740sim_SetGenerator(on, hz, dbm);
    generatorChanges_ = k740sim_GeneratorChanges();
    if (window_) window_->showGenerator(on != 0, hz, dbm);
}

void DemodSession::notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2,
                          std::intptr_t) {
    if (stopped_) return;
    switch (message) {
    case QMV_NOTIFY_ACTIVATE:
        if (value1 != 0) {
            if (window_ && window_->parentWidget()) window_->show();
            if (rx_ >= 0) timer_.start();
            reportChanges(false);
        } else {
            timer_.stop();
        }
        break;
    case QMV_NOTIFY_OPTIONS:
        options_ = std::int32_t(value1);
        break;
    case QMV_NOTIFY_MODE:
        // The host's current mode follows only our report, so the mode is
        // reported back once; the host's echo of it then changes nothing.
        applyMode(std::int32_t(value1));
        reportChanges(true);
        break;
    case QMV_NOTIFY_FREQUENCY:
        tunedHz_ = k7_DecodeFrequency(std::uint32_t(value1));
        passbandChanged();
        break;
    case QMV_NOTIFY_WIDTH:
        if (value1 > 0 && std::int32_t(value1) != width_) {
            width_ = std::int32_t(value1);
            widths_[std::size_t(mode_)] = width_;
            passbandChanged();
        }
        reportedWidth_ = width_;
        break;
    case QMV_NOTIFY_OFFSET:
        if (std::int32_t(value1) != offset_) {
            offset_ = std::int32_t(value1);
            passbandChanged();
        }
        reportedOffset_ = offset_;
        break;
    case QMV_NOTIFY_RECORD_COPIED: {
        // The host holds a new copy of the record; read it back from there.
        const std::intptr_t address = callHost(QMV_HOST_QUERY, QMV_QUERY_RECORD);
        if (address != 0 && value2 >= QMV_REC_MODES + 4) {
            const auto *record = reinterpret_cast<const std::uint8_t *>(address);
            readRecord(record, std::min<std::uint32_t>(std::uint32_t(value2), read32(record)));
            passbandChanged();
        }
        break;
    }
    default:
        break;
    }
}

void DemodSession::stop() {
    stopped_ = true;
    timer_.stop();
    closeRemote();
    if (window_) {
        window_->hide();
        // A window whose signal may be on the stack right now goes later.
        if (callDepth_ > 0)
            window_->deleteLater();
        else
            delete window_.data();
    }
}

void DemodSession::tick() {
    if (stopped_ || rx_ < 0) return;
    const std::int32_t n = k740sim_Spectrum(rx_, SpanHz, Bins, power_.data());
    if (n <= 0) return;
    if (window_) {
        const double gain = k740sim_Gain(rx_);
        for (std::int32_t i = 0; i < n; ++i)
            levels_[std::size_t(i)] =
                float(10.0 * std::log10(std::max(double(power_[std::size_t(i)]), 1e-15)) - gain);
        const std::uint64_t tuned = k740sim_TunedFrequency(rx_);
        if (tuned != tunedHz_) {
            tunedHz_ = tuned;
            passbandChanged();
        }
        window_->spectrum()->setSpectrum(levels_, SpanHz);
    }
    callHost(QMV_HOST_SPECTRUM, std::intptr_t(SpanHz), std::intptr_t(n) * 4,
             reinterpret_cast<std::intptr_t>(power_.data()));
}
