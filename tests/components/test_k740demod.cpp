// The demodulator module stand-in through its C ABI: a small host of the
// test's own starts it, answers and echoes like the program, and watches
// every call the module makes.
#include "k740demod.h"
#include "k740sim.h"
#include "platform/libraryloader.h"
#include "receiver/radiorecord.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QTest>
#include <QWidget>
#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// The module and the simulated radio it shares with the receiver API, both
// reached by name as the program reaches them.
struct Library {
    explicit Library(const QString &path) : handle(platform::LoadLibraryByName(path)) {}
    ~Library() { platform::UnloadLibrary(handle); }
    template <typename F> F get(const char *name) const {
        return reinterpret_cast<F>(platform::GetProcAddress(handle, name));
    }
    platform::LibraryHandle handle;
};

struct Sim {
    Library lib{testsupport::BinDir() + "/libk740sim.so"};
#define SIM_FN(name) decltype(&::name) name = lib.get<decltype(&::name)>(#name)
    SIM_FN(k740sim_Reset);
    SIM_FN(k740sim_Tune);
    SIM_FN(k740sim_SetGenerator);
    SIM_FN(k740sim_GetGenerator);
    SIM_FN(k740sim_GetPassband);
    SIM_FN(k740sim_FrontEndError);
    SIM_FN(k740sim_Gain);
    SIM_FN(k740sim_ScpiPort);
    SIM_FN(k740sim_AdapterPort);
    SIM_FN(k740sim_SerialAdapterPath);
#undef SIM_FN
};

struct Module {
    Library lib{testsupport::BinDir() + "/K740Demod.qmv"};
#define QMV_FN(name) decltype(&::name) name = lib.get<decltype(&::name)>(#name)
    QMV_FN(qmvPluginInit);
    QMV_FN(qmvPluginStart);
    QMV_FN(qmvPluginNotify);
    QMV_FN(qmvPluginDone);
#undef QMV_FN
};

struct Call {
    std::intptr_t window;
    std::int32_t message;
    std::intptr_t v1, v2, v3;
};

constexpr std::intptr_t HostWindow = 0x77;

// A host as the program is one: it checks the window, echoes mode, width and
// offset reports and answers queries.
class TestHost {
public:
    TestHost() { current = this; }
    ~TestHost() { current = nullptr; }

    static std::intptr_t Callback(std::intptr_t w, std::int32_t m, std::intptr_t a, std::intptr_t b,
                                  std::intptr_t c) {
        return current ? current->handle(w, m, a, b, c) : 0;
    }

    std::intptr_t handle(std::intptr_t w, std::int32_t m, std::intptr_t a, std::intptr_t b,
                         std::intptr_t c) {
        calls.push_back({w, m, a, b, c});
        if (m == QMV_HOST_SPECTRUM) {
            const auto *bins = reinterpret_cast<const float *>(c);
            lastSpectrum.assign(bins, bins + b / 4);
        }
        if (onCall) onCall(calls.back());
        if (w != window || !module) return 0;
        switch (m) {
        case QMV_HOST_MODE:
            if (a != mode) {
                mode = std::int32_t(a);
                module->qmvPluginNotify(HostWindow, QMV_NOTIFY_MODE, mode, 0, 0);
            }
            return 0;
        case QMV_HOST_WIDTH:
            module->qmvPluginNotify(HostWindow, QMV_NOTIFY_WIDTH, a, 0, 0);
            return 0;
        case QMV_HOST_OFFSET:
            module->qmvPluginNotify(HostWindow, QMV_NOTIFY_OFFSET, a, 0, 0);
            return 0;
        case QMV_HOST_QUERY:
            if (a == QMV_QUERY_RECORD) return reinterpret_cast<std::intptr_t>(record->Data());
            return a == QMV_QUERY_HOST_PRESENT ? 1 : 0;
        default:
            return 0;
        }
    }

    // The calls that were neither spectra nor queries.
    std::vector<Call> reports() const {
        std::vector<Call> r;
        for (const Call &c : calls)
            if (c.message != QMV_HOST_SPECTRUM && c.message != QMV_HOST_QUERY) r.push_back(c);
        return r;
    }
    int count(std::int32_t message) const {
        int n = 0;
        for (const Call &c : calls)
            n += c.message == message;
        return n;
    }

    static inline TestHost *current = nullptr;
    Module *module = nullptr;
    std::intptr_t window = 0;
    std::int32_t mode = -1;
    TRadioRecord *record = nullptr;
    std::vector<Call> calls;
    std::vector<float> lastSpectrum;
    std::function<void(const Call &)> onCall;
};

std::unique_ptr<TRadioRecord> recordFor(const char *serial) {
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
    std::strncpy(reinterpret_cast<char *>(info.data() + 4), serial, 8);
    qToLittleEndian<quint32>(9000, info.data() + 22);
    qToLittleEndian<quint32>(3500000000u, info.data() + 26);
    return TRadioRecord::Build(info.data());
}

class DemodModule : public ::testing::Test {
protected:
    DemodModule() {
        sim.k740sim_Reset();
        sim.k740sim_Tune(0, 7100000);
        host.module = &module;
        host.record = record.get();
    }
    ~DemodModule() override {
        module.qmvPluginDone();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void SetUp() override {
        ASSERT_TRUE(module.qmvPluginInit && module.qmvPluginStart && module.qmvPluginNotify &&
                    module.qmvPluginDone);
        ASSERT_NE(module.qmvPluginInit(QMV_INTERFACE_VERSION, "test host"), 0);
    }

    QWidget *start() {
        host.window =
            module.qmvPluginStart(HostWindow, record->Data(), &TestHost::Callback, &startValue);
        return QWidget::find(WId(host.window));
    }
    void notify(std::int32_t message, std::intptr_t v1 = 0, std::intptr_t v2 = 0,
                std::intptr_t v3 = 0) {
        module.qmvPluginNotify(HostWindow, message, v1, v2, v3);
    }
    // Start, activation and the program's opening notifications.
    QWidget *open(std::int32_t mode = 1) {
        QWidget *w = start();
        notify(QMV_NOTIFY_ACTIVATE, 1);
        notify(QMV_NOTIFY_OPTIONS, 15);
        notify(QMV_NOTIFY_MODE, mode);
        notify(QMV_NOTIFY_FREQUENCY, 7100000);
        return w;
    }
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < timeoutMs)
            QTest::qWait(10);
        return condition();
    }
    template <typename T> T *child(QWidget *w, const QString &text) {
        for (T *c : w->findChildren<T *>())
            if (c->text() == text) return c;
        return nullptr;
    }

    Sim sim;
    Module module;
    std::unique_ptr<TRadioRecord> record = recordFor("");
    TestHost host;
    std::int32_t startValue = 0;
};

TEST_F(DemodModule, InitialisationWantsInterface256) {
    EXPECT_EQ(module.qmvPluginInit(255, nullptr), 0);
    EXPECT_NE(module.qmvPluginInit(256, nullptr), 0);
}

TEST_F(DemodModule, StartGivesAWindowForTheHostPanelAndCallsNothing) {
    QWidget *w = start();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->size(), QSize(476, 199));
    EXPECT_EQ(startValue, 1);
    EXPECT_TRUE(host.calls.empty());
    const char *modes[] = {"CW", "AM", "FMN", "FMW", "LSB", "USB", "FMM", "FM6"};
    for (const char *mode : modes)
        EXPECT_TRUE(child<QAbstractButton>(w, mode)) << mode;
    EXPECT_EQ(child<QAbstractButton>(w, "LSB")->toolTip(), "LSB - Lower Side Band");
    EXPECT_TRUE(child<QAbstractButton>(w, "AM")->isChecked());
}

TEST_F(DemodModule, TheWindowIsPaintedInTheDarkPalette) {
    QWidget *w = start();
    ASSERT_TRUE(w);
    const QImage image = testsupport::Render(*w);
    EXPECT_EQ(testsupport::Pixel(image, 1, 1), 0x424242u);    // panel, RGB 66,66,66
    EXPECT_EQ(testsupport::Pixel(image, 60, 60), 0x000000u);  // spectrum background
    EXPECT_EQ(testsupport::Pixel(image, 130, 60), 0x003800u); // AM passband, 6 kHz of 24
    EXPECT_EQ(testsupport::Pixel(image, 154, 60), 0xCA0000u); // tuned frequency marker
}

TEST_F(DemodModule, TheWindowShowsWhereTheBenchGeneratorAnswers) {
    QWidget *w = start();
    ASSERT_TRUE(w);
    char path[256] = {};
    ASSERT_GT(sim.k740sim_SerialAdapterPath(path, sizeof path), 0);
    EXPECT_TRUE(QByteArray(path).startsWith("/dev/pts/")) << path;
    const int adapterPort = sim.k740sim_AdapterPort();
    EXPECT_GE(adapterPort, 1234);
    EXPECT_EQ(w->findChild<QLabel *>("RemoteAddress")->text(),
              QStringLiteral("SCPI 127.0.0.1:%1").arg(sim.k740sim_ScpiPort()));
    auto *adapters = w->findChild<QLabel *>("AdapterAddresses");
    EXPECT_EQ(adapters->text(),
              QStringLiteral("GPIB 19: 127.0.0.1:%1, %2").arg(adapterPort).arg(path));
    // On the caption's line the caption, the adapters and the SCPI address
    // stand apart: each one's pixels, found by drawing the group without it.
    auto *group = qobject_cast<QGroupBox *>(adapters->parentWidget());
    ASSERT_TRUE(group);
    auto *remote = w->findChild<QLabel *>("RemoteAddress");
    // Even a line too long for the room stays off the caption.
    adapters->setText(adapters->text() + QStringLiteral(", /dev/serial/by-id/usb-gpib-adapter"));
    const QImage all = testsupport::Render(*group);
    const auto without = [&](auto hide, auto show) {
        hide();
        const QImage image = testsupport::Render(*group);
        show();
        QRect differing;
        for (int y = 0; y < all.height(); ++y)
            for (int x = 0; x < all.width(); ++x)
                if (image.pixel(x, y) != all.pixel(x, y)) differing |= QRect(x, y, 1, 1);
        return differing;
    };
    const QString title = group->title();
    const QRect caption =
        without([&] { group->setTitle(QString()); }, [&] { group->setTitle(title); });
    const QRect adapterText = without([&] { adapters->hide(); }, [&] { adapters->show(); });
    const QRect remoteText = without([&] { remote->hide(); }, [&] { remote->show(); });
    ASSERT_FALSE(caption.isNull() || adapterText.isNull() || remoteText.isNull());
    EXPECT_LT(caption.right(), adapterText.left());
    EXPECT_LT(adapterText.right(), remoteText.left());
    if (qEnvironmentVariableIsSet("K740_DEMOD_GRAB"))
        w->grab().save(qEnvironmentVariable("K740_DEMOD_GRAB"));
}

TEST_F(DemodModule, ActivationReportsWidthAndOffsetOnceAndTheEchoesEndIt) {
    start();
    notify(QMV_NOTIFY_ACTIVATE, 1);
    const auto reports = host.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].message, QMV_HOST_WIDTH);
    EXPECT_EQ(reports[0].v1, 6000);
    EXPECT_EQ(reports[1].message, QMV_HOST_OFFSET);
    EXPECT_EQ(reports[1].v1, 0);
    for (const Call &c : reports)
        EXPECT_EQ(c.window, host.window);
    notify(QMV_NOTIFY_OPTIONS, 15);
    notify(QMV_NOTIFY_FREQUENCY, 7100000);
    EXPECT_EQ(host.reports().size(), 2u);
}

TEST_F(DemodModule, AModeFromTheHostIsReportedBackOnce) {
    start();
    notify(QMV_NOTIFY_ACTIVATE, 1);
    host.calls.clear();
    notify(QMV_NOTIFY_MODE, 5);
    auto reports = host.reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].message, QMV_HOST_MODE);
    EXPECT_EQ(reports[0].v1, 5);
    EXPECT_EQ(reports[1].message, QMV_HOST_WIDTH);
    EXPECT_EQ(reports[1].v1, 2400);
    // The host's echo (sent from inside the report) and a repeat change nothing.
    notify(QMV_NOTIFY_MODE, 5);
    notify(QMV_NOTIFY_WIDTH, 2400);
    EXPECT_EQ(host.reports().size(), 2u);
    std::int32_t mode = 0, width = 0, offset = 0;
    sim.k740sim_GetPassband(0, &mode, &width, &offset);
    EXPECT_EQ(mode, 5);
    EXPECT_EQ(width, 2400);
}

TEST_F(DemodModule, AnUnknownModeIsAnsweredWithTheModeInUse) {
    start();
    notify(QMV_NOTIFY_ACTIVATE, 1);
    host.calls.clear();
    notify(QMV_NOTIFY_MODE, 9);
    const auto reports = host.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].message, QMV_HOST_MODE);
    EXPECT_EQ(reports[0].v1, 1);
}

TEST_F(DemodModule, TheOperatorsChangesAreReportedOnlyWhenTheyChangeSomething) {
    QWidget *w = open(5);
    ASSERT_TRUE(w);
    host.calls.clear();

    QTest::mouseClick(child<QAbstractButton>(w, "LSB"), Qt::LeftButton);
    auto reports = host.reports();
    ASSERT_EQ(reports.size(), 1u); // LSB has the width USB had
    EXPECT_EQ(reports[0].message, QMV_HOST_MODE);
    EXPECT_EQ(reports[0].v1, 4);
    EXPECT_EQ(host.mode, 4);
    QTest::mouseClick(child<QAbstractButton>(w, "LSB"), Qt::LeftButton);
    EXPECT_EQ(host.reports().size(), 1u);

    auto *width = w->findChildren<QSpinBox *>().at(0);
    width->setValue(2700);
    width->setValue(2700);
    auto *shift = w->findChildren<QSpinBox *>().at(1);
    shift->setValue(-200);
    reports = host.reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[1].message, QMV_HOST_WIDTH);
    EXPECT_EQ(reports[1].v1, 2700);
    EXPECT_EQ(reports[2].message, QMV_HOST_OFFSET);
    EXPECT_EQ(reports[2].v1, -200);

    // Back in a mode, its own width returns.
    QTest::mouseClick(child<QAbstractButton>(w, "AM"), Qt::LeftButton);
    QTest::mouseClick(child<QAbstractButton>(w, "LSB"), Qt::LeftButton);
    reports = host.reports();
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_EQ(reports[4].v1, 6000);
    EXPECT_EQ(reports[6].message, QMV_HOST_WIDTH);
    EXPECT_EQ(reports[6].v1, 2700);
}

TEST_F(DemodModule, SpectraArriveAboutTwentyTimesASecond) {
    open();
    host.calls.clear();
    QTest::qWait(1000);
    const int n = host.count(QMV_HOST_SPECTRUM);
    EXPECT_GE(n, 8);
    EXPECT_LE(n, 22);
    for (const Call &c : host.calls) {
        if (c.message != QMV_HOST_SPECTRUM) continue;
        EXPECT_EQ(c.window, host.window);
        EXPECT_EQ(c.v1, 24000);
        EXPECT_EQ(c.v2, 480 * 4);
        EXPECT_NE(c.v3, 0);
    }
}

TEST_F(DemodModule, TheGeneratorSetInTheWindowIsWhatTheSpectrumShows) {
    QWidget *w = open();
    ASSERT_TRUE(w);
    // The operator sets -73 dBm and puts the generator into the passband.
    w->findChildren<QDoubleSpinBox *>().at(0)->setValue(-73.0);
    child<QCheckBox>(w, "On")->setChecked(true);
    QTest::mouseClick(child<QAbstractButton>(w, "To passband"), Qt::LeftButton);
    int32_t on = 0;
    std::uint64_t hz = 0;
    double dbm = 0;
    sim.k740sim_GetGenerator(&on, &hz, &dbm);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(hz, 7100000u);
    EXPECT_DOUBLE_EQ(dbm, -73.0);

    host.calls.clear();
    ASSERT_TRUE(waitFor([&] { return host.count(QMV_HOST_SPECTRUM) >= 1; }));
    ASSERT_EQ(host.lastSpectrum.size(), 480u);
    // Bin 240 holds the tuned frequency, the middle of the AM passband.
    const auto peak =
        std::max_element(host.lastSpectrum.begin() + 180, host.lastSpectrum.begin() + 300);
    EXPECT_EQ(peak - host.lastSpectrum.begin(), 240);
    const double level = 10 * std::log10(*peak) - sim.k740sim_Gain(0);
    EXPECT_NEAR(level, -73.0 + sim.k740sim_FrontEndError(0, 7100000), 0.5);
}

TEST_F(DemodModule, NoHostCallAfterStop) {
    QPointer<QWidget> w = open();
    ASSERT_TRUE(waitFor([&] { return host.count(QMV_HOST_SPECTRUM) >= 2; }));
    notify(QMV_NOTIFY_STOP);
    EXPECT_TRUE(w.isNull());
    const std::size_t calls = host.calls.size();
    notify(QMV_NOTIFY_MODE, 4);
    notify(QMV_NOTIFY_ACTIVATE, 1);
    notify(QMV_NOTIFY_RECORD_COPIED, 0, 720, 0);
    QTest::qWait(300);
    EXPECT_EQ(host.calls.size(), calls);
}

TEST_F(DemodModule, AStopFromInsideTheModulesOwnCallIsSafe) {
    QPointer<QWidget> w = open();
    host.onCall = [&](const Call &c) {
        if (c.message == QMV_HOST_SPECTRUM) notify(QMV_NOTIFY_STOP);
    };
    host.calls.clear();
    ASSERT_TRUE(waitFor([&] { return host.count(QMV_HOST_SPECTRUM) >= 1; }));
    ASSERT_TRUE(waitFor([&] { return w.isNull(); }));
    QTest::qWait(200);
    EXPECT_EQ(host.count(QMV_HOST_SPECTRUM), 1);

    // Also from inside a report that the operator's click caused.
    w = open();
    host.calls.clear();
    host.onCall = [&](const Call &c) {
        if (c.message == QMV_HOST_MODE) notify(QMV_NOTIFY_STOP);
    };
    QTest::mouseClick(child<QAbstractButton>(w, "CW"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return w.isNull(); }));
    EXPECT_EQ(host.reports().size(), 1u); // the mode, but not the width after it
}

TEST_F(DemodModule, DoneAndANewStartEndTheSessionSilently) {
    QPointer<QWidget> first = open();
    QPointer<QWidget> second = open();
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    module.qmvPluginDone();
    EXPECT_TRUE(second.isNull());
    const std::size_t calls = host.calls.size();
    QTest::qWait(200);
    EXPECT_EQ(host.calls.size(), calls);
}

TEST_F(DemodModule, AReceiverTheSimulationDoesNotKnowGetsNoSpectra) {
    record = recordFor("NOSUCH");
    host.record = record.get();
    open();
    QTest::qWait(200);
    EXPECT_EQ(host.count(QMV_HOST_SPECTRUM), 0);
}

TEST_F(DemodModule, ACopiedRecordIsReadBackFromTheHost) {
    open();
    host.calls.clear();
    notify(QMV_NOTIFY_RECORD_COPIED, 0, 720, 0x1000);
    ASSERT_EQ(host.count(QMV_HOST_QUERY), 1);
    EXPECT_EQ(host.calls[0].v1, QMV_QUERY_RECORD);
    EXPECT_EQ(host.calls[0].window, host.window);
}

} // namespace
