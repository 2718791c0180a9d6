// Writes the README's picture of the main window with the demo receiver open
// when K740_SCREENSHOT names the file (run under a real display server);
// skipped otherwise.
#include "mainformtesting.h"

using namespace mainformtesting;

namespace {

using Screenshot = MainWindowTest;

TEST_F(Screenshot, MainWindowWithTheDemoReceiverOpen) {
    const QString file = qEnvironmentVariable("K740_SCREENSHOT");
    if (file.isEmpty()) GTEST_SKIP() << "K740_SCREENSHOT not set";
    TMainForm &w = Start();
    Open();
    ASSERT_GT(Receiver().Handle(), 0);
    Control<TmyFrequencyEdit>("Fq").SetValue(14250000);
    // The bench generator on the tuned frequency, as the operator sets it in
    // the module's window.
    Export<void (*)(int32_t, uint64_t, double)>("libk740sim.so",
                                                "k740sim_SetGenerator")(1, 14250000, -73.0);
    w.activateWindow();
    QTest::qWait(1500); // a few spectra arrive and move the gauge
    ASSERT_TRUE(w.grab().save(file));
}

} // namespace
