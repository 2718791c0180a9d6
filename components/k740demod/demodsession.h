// One started session of the module: the receiver it serves, its window, the
// demodulation settings, the spectrum timer and every call into the host.
// Reports mode, width and offset only when they differ from what the host
// last heard, so the host's echoes end the exchange; after stop() it never
// calls the host again.
#pragma once

#include "k740demod.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "demodwindow.h"

class DemodSession : public QObject {
    Q_OBJECT
public:
    static constexpr std::uint32_t SpanHz = 24000;
    static constexpr std::int32_t Bins = 480;
    static constexpr int PeriodMs = 50; // 20 spectra a second
    // The spectrum period: PeriodMs, or K740DEMOD_SPECTRUM_MS (5 to 1000) from
    // the environment, for sessions that must read many levels quickly.
    static int SpectrumPeriodMs();
    static constexpr std::int32_t InitialMode = 1;

    DemodSession(std::intptr_t hostWindow, const void *radioRecord, QmvHostCallback callback,
                 const QString &hostName);
    ~DemodSession() override; // calls nothing in the host

    // The handle returned to the host and passed on every callback.
    std::intptr_t windowHandle() const { return windowHandle_; }
    DemodWindow *window() const { return window_.data(); }

    void notify(std::int32_t message, std::intptr_t value1, std::intptr_t value2,
                std::intptr_t value3);

    // Ends the session: no spectra and no host calls from now on; the window
    // goes (later if the host is being called right now).
    void stop();
    bool isStopped() const { return stopped_; }
    bool isCallingHost() const { return callDepth_ > 0; }

    std::int32_t receiver() const { return rx_; }
    std::int32_t mode() const { return mode_; }
    std::int32_t width() const { return width_; }
    std::int32_t offset() const { return offset_; }

    // Operator actions (the window's buttons and boxes end up here).
    void chooseMode(std::int32_t mode);
    void chooseWidth(std::int32_t hz);
    void chooseOffset(std::int32_t hz);
    void chooseGenerator(bool on, std::uint64_t hz, double dbm);
    void generatorToPassband();

private:
    void readRecord(const std::uint8_t *record, std::uint32_t size);
    void applyMode(std::int32_t mode);
    void reportChanges(bool includeMode);
    void passbandChanged();
    void tick();
    // Shows generator changes made elsewhere (over SCPI).
    void followGenerator();
    void closeRemote();
    std::intptr_t callHost(std::int32_t message, std::intptr_t value1 = 0, std::intptr_t value2 = 0,
                           std::intptr_t value3 = 0);
    // Low and high edge of the passband relative to the tuned frequency.
    std::pair<std::int32_t, std::int32_t> passbandEdges() const;

    QmvHostCallback callback_;
    QPointer<DemodWindow> window_;
    std::intptr_t windowHandle_ = 0;
    QTimer timer_;
    QTimer followTimer_;
    std::uint32_t generatorChanges_ = 0;
    bool remoteOpen_ = false;
    bool stopped_ = false;
    int callDepth_ = 0;

    std::int32_t rx_ = -1;
    QString serial_;
    std::uint64_t lowestHz_ = 0, highestHz_ = 0;
    std::uint64_t tunedHz_ = 0;
    std::int32_t options_ = 0;

    std::int32_t mode_ = InitialMode;
    std::array<std::int32_t, 8> widths_;
    std::int32_t width_;
    std::int32_t offset_ = 0;
    std::optional<std::int32_t> reportedMode_, reportedWidth_, reportedOffset_;

    std::vector<float> power_;
    std::vector<float> levels_;
};
