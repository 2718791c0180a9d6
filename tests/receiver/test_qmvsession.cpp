// The program's side and the module stand-in together: the binding, the
// dispatcher and the real K740Demod.qmv, embedded the way the main window
// embeds it.
#include "receiver/qmvhost.h"
#include "receiver/qmvmodule.h"
#include "receiver/radiorecord.h"

#include "support/testsupport.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

struct Client : TQmvHostClient {
    explicit Client(QWidget &window) : window(window) {}
    std::intptr_t HostWindowHandle() const override { return std::intptr_t(window.winId()); }
    std::int32_t CurrentMode() const override { return mode; }
    void SetCurrentMode(std::int32_t m, bool rebuild) override {
        mode = m;
        ++modeChanges;
        rebuilds += rebuild;
    }
    void SetPassbandWidth(std::int32_t w) override {
        width = w;
        ++widthReports;
    }
    void SetPassbandOffset(std::int32_t o) override {
        offset = o;
        ++offsetReports;
    }
    void DeliverSpectrum(std::uint32_t span, std::uint32_t count, const void *) override {
        lastSpan = span;
        lastCount = count;
        ++spectra;
    }

    QWidget &window;
    std::int32_t mode = 3, width = 0, offset = 1;
    int modeChanges = 0, rebuilds = 0, widthReports = 0, offsetReports = 0, spectra = 0;
    std::uint32_t lastSpan = 0, lastCount = 0;
};

bool waitFor(const std::function<bool()> &condition) {
    for (int i = 0; i < 500 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

class ModuleSession : public ::testing::Test {
protected:
    ModuleSession() {
        mainWindow.resize(480, 500);
        panel = new QWidget(&mainWindow);
        panel->setGeometry(0, 296, 480, 203);
        mainWindow.show();
        std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
        info[22] = 0x28; // 9 kHz .. 30 MHz
        info[23] = 0x23;
        info[26] = 0x80;
        info[27] = 0xC3;
        info[28] = 0xC9;
        info[29] = 0x01;
        host.SetRecord(TRadioRecord::Build(info.data()));
    }
    ~ModuleSession() override { module.Finish(); }

    // The open sequence's module steps, with the embedding in between.
    QWidget *open(std::int32_t savedMode) {
        const auto handle = std::intptr_t(mainWindow.winId());
        host.SetModuleWindow(0);
        std::int32_t startValue = 0;
        host.SetModuleWindow(
            module.Start(handle, host.Record()->Data(), &TQmvHost::Callback, &startValue));
        QWidget *w = QWidget::find(WId(host.ModuleWindow()));
        if (w) {
            w->setParent(panel);
            w->move(2, 2);
            w->show();
        }
        module.Notify(handle, QMV_NOTIFY_ACTIVATE, 1);
        module.Notify(handle, QMV_NOTIFY_OPTIONS, 15);
        module.Notify(handle, QMV_NOTIFY_MODE, savedMode);
        module.Notify(handle, QMV_NOTIFY_FREQUENCY, 7100000);
        return w;
    }
    void close() {
        if (host.ModuleWindow()) module.Notify(std::intptr_t(mainWindow.winId()), QMV_NOTIFY_STOP);
        host.SetModuleWindow(0);
    }

    QWidget mainWindow;
    QWidget *panel;
    TQmvModule module;
    Client client{mainWindow};
    TQmvHost host{module, client};
};

TEST_F(ModuleSession, AnEmbeddedModuleReportsOnceAndFeedsSpectra) {
    ASSERT_TRUE(module.Load(testsupport::BinDir() + "/K740Demod.qmv").Ok());
    ASSERT_TRUE(module.Initialise());
    QPointer<QWidget> w = open(5);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->parentWidget(), panel);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), QRect(2, 2, 476, 199));

    // The reports passed the window check after the embedding and ended at
    // the echoes: one mode change (from 3, so the list is rebuilt), the
    // width of the first activation and of the mode, the offset.
    EXPECT_EQ(client.mode, 5);
    EXPECT_EQ(client.modeChanges, 1);
    EXPECT_EQ(client.rebuilds, 1);
    EXPECT_EQ(client.width, 2400);
    EXPECT_EQ(client.widthReports, 2);
    EXPECT_EQ(client.offset, 0);
    EXPECT_EQ(client.offsetReports, 1);

    ASSERT_TRUE(waitFor([&] { return client.spectra >= 3; }));
    EXPECT_EQ(client.lastSpan, 24000u);
    EXPECT_EQ(client.lastCount, 1920u);

    close();
    EXPECT_TRUE(w.isNull());
    const int spectra = client.spectra;
    QTest::qWait(200);
    EXPECT_EQ(client.spectra, spectra);
}

TEST_F(ModuleSession, OpeningAgainStartsAgainAndKeepsTheModesApart) {
    ASSERT_TRUE(module.Load(testsupport::BinDir() + "/K740Demod.qmv").Ok());
    ASSERT_TRUE(module.Initialise());
    open(4);
    close();
    EXPECT_EQ(client.mode, 4);
    // The saved mode is the current one: nothing changes and nothing echoes.
    const int changes = client.modeChanges;
    QPointer<QWidget> w = open(4);
    ASSERT_TRUE(w);
    EXPECT_EQ(client.modeChanges, changes);
    close();
}

TEST_F(ModuleSession, AModuleWithoutWindowLeavesTheHostAlone) {
    ASSERT_TRUE(
        module.Load(testsupport::BinDir() + "/variants/demod-no-window/K740Demod.qmv").Ok());
    ASSERT_TRUE(module.Initialise());
    EXPECT_FALSE(open(1));
    EXPECT_EQ(host.ModuleWindow(), 0);
    QTest::qWait(150);
    EXPECT_EQ(client.spectra, 0);
    EXPECT_EQ(client.modeChanges, 0);
    close();
}

} // namespace
