// The live radio without any window, as a console program uses it: the
// receiver connection opens the demo receiver with a null host window, the
// module's window stays hidden, and the live level publishes the RAW value of
// the module's spectra. No message box is shown below the windows.
#include "receiver/livelevel.h"
#include "receiver/receiverconnection.h"

#include "k740sim.h"
#include "platform/libraryloader.h"
#include "platform/registry.h"
#include "support/testsupport.h"
#include "zxk740api_test.h"

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A function of a component in build/bin: the same copy the bindings load.
template <typename Function> Function Export(const char *file, const char *name) {
    void *library = dlopen((testsupport::BinDir() + "/" + file).toUtf8().constData(), RTLD_NOW);
    return library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

bool AnyWindowShown() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible()) return true;
    return false;
}

class HeadlessRadio : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv("QMV_PLUGIN_PATH");
        qunsetenv("K740SIM_CONFIG");
        platform::SetLibrarySearchFolder(QString());
        Export<decltype(&k7test_Reset)>("ZXK740API.dll", "k7test_Reset")();
        SetModuleFolder(testsupport::BinDir());
        ASSERT_TRUE(connection.Bind());
        connection.Start(0, &key);
        connection.ReadDevices();
        ASSERT_FALSE(connection.Devices().empty());
    }
    void TearDown() override {
        connection.Close();
        connection.Stop();
        EXPECT_TRUE(boxes.boxes.empty());
    }
    static void SetModuleFolder(const QString &folder) {
        auto machine = platform::OpenMachineQmvKey();
        machine->setValue(QStringLiteral("SearchPath"), folder);
        machine->sync();
    }
    TDeviceEntry &Demo() { return *connection.Devices()[0]; }

    testsupport::TemporaryRegistry registry;
    testsupport::MessageBoxRecorder boxes;
    QSettings key{registry.path() + "/headless.ini", QSettings::IniFormat};
    TReceiverConnection connection;
    TLiveLevel level{connection};
};

TEST_F(HeadlessRadio, TheDemoReceiverIsTunedAndItsSpectraGiveTheLiveRaw) {
    std::vector<int> published;
    QObject::connect(&level, &TLiveLevel::RawChanged,
                     [&](std::uint8_t raw) { published.push_back(raw); });
    ASSERT_TRUE(connection.Open(Demo()).Ok());
    connection.Activate();
    EXPECT_TRUE(connection.IsOpen());
    EXPECT_TRUE(Demo().Opened);
    // The module made its window, and nobody shows it.
    QWidget *moduleWindow = QWidget::find(WId(connection.ModuleWindow()));
    ASSERT_NE(moduleWindow, nullptr);
    EXPECT_FALSE(moduleWindow->isVisible());

    connection.Tune(7100000);
    EXPECT_EQ(connection.TunedFrequency(), 7100000u);
    EXPECT_EQ(connection.ReadTunedFrequency(), 7100000u);
    const auto generator =
        Export<decltype(&k740sim_SetGenerator)>("libk740sim.so", "k740sim_SetGenerator");
    const auto frontEnd =
        Export<decltype(&k740sim_FrontEndError)>("libk740sim.so", "k740sim_FrontEndError");
    generator(1, 7100000, -60.0);
    published.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return published.size() >= 3; }, 5000));
    EXPECT_EQ(connection.CurrentMode(), 1); // the mode nobody saved yet
    // The demo receiver's gain is fixed (AGC reading 800), so the RAW value
    // is the generator's level plus the front end's error on the RAW scale.
    const int expected = SpectrumLevel::LevelToRaw(-60.0 + frontEnd(0, 7100000));
    EXPECT_NEAR(published.back(), expected, 1);
    EXPECT_FALSE(AnyWindowShown());

    // Closing keeps the receiver's values for the next open.
    EXPECT_TRUE(connection.Close());
    EXPECT_FALSE(Demo().Opened);
    key.sync();
    EXPECT_EQ(key.value(QStringLiteral("Frequency ()")).toInt(), 7100000);
    EXPECT_EQ(key.value(QStringLiteral("Mode ()")).toInt(), 1);
    generator(0, 7100000, -60.0);
}

} // namespace
