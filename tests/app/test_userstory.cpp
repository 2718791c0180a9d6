// An operator's first calibration file, end to end on the stand-ins: open the
// demo receiver, New, tune, Add, Edit, Save, start again, Open the file, pick
// the point and watch the dBm text over the gauge. With K740_SCREENSHOT_DIR
// set (run under a real display server) each step's window is written there,
// and "main-points.png" is the README's picture of a set with a few points.
#include "documenttesting.h"

using namespace documenttesting;

namespace {

using UserStory = DocumentTest;

TEST_F(UserStory, MakeSaveAndOpenACalibrationFile) {
    const QString shots = qEnvironmentVariable("K740_SCREENSHOT_DIR");
    auto shoot = [&](const QString &name) {
        if (shots.isEmpty()) return;
        form->activateWindow();
        QTest::qWait(200);
        form->grab().save(shots + "/" + name + ".png");
    };
    auto generator =
        Export<void (*)(int32_t, uint64_t, double)>("libk740sim.so", "k740sim_SetGenerator");
    TMainForm *w = &OpenDemo();
    New();
    EXPECT_TRUE(w->LCaption->Caption().endsWith("[New.cal]"));
    shoot("1-new");
    Control<TmyFrequencyEdit>("Fq").SetValue(7100000);
    std::int64_t proposed = 0;
    modal = [&](TstForm &window) {
        if (qobject_cast<TAddFqForm *>(&window)) {
            proposed = Child<TmyFrequencyEdit>(window, "Fq").Value();
            testsupport::Click(Child(window, "BOK"));
        } else if (qobject_cast<TTableForm *>(&window)) {
            // The operator's values: RAW r stands for -140 + r/2 dBm, the two
            // ends typed in and the rest interpolated.
            EditValue(window, 0, "-140");
            EditValue(window, 255, "-12.5");
            testsupport::Click(Child(window, "stSpeedButton6")); // Interpolate
            testsupport::Click(Child(window, "stSpeedButton5")); // OK
        }
        return window.ModalResult();
    };
    Click(&Control<TstSpeedButton>("stSpeedButton8"));
    EXPECT_EQ(proposed, 7100000);
    Click(&Control<TstSpeedButton>("BEdit"));
    EXPECT_EQ(Value(-1, 7100000, 0), -140.0);
    EXPECT_EQ(Value(-1, 7100000, 101), -89.5);
    shoot("2-edited");
    fileAnswers = {Path("first.cal")};
    Click(&Control<TstSpeedButton>("BSave"));
    EXPECT_FALSE(Document().IsModified());
    EXPECT_TRUE(boxes.boxes.empty());

    // The program starts again and opens the file.
    w = &OpenDemo();
    fileAnswers = {Path("first.cal")};
    Click(&Control<TstSpeedButton>("stSpeedButton4"));
    ASSERT_EQ(Rows(), std::vector<QString>{"7.1 MHz"});
    Control<TmyFrequencyEdit>("Fq").SetValue(9000000);
    ResetApiCalls();
    QTest::mouseClick(&Control<TstGrid>("F"), Qt::LeftButton, {},
                      Control<TstGrid>("F").CellRect(0, 0).center());
    EXPECT_EQ(Count(ApiCalls(), "SetFrequency("), 1);
    EXPECT_NE(ApiCalls().find(",7100000)"), std::string::npos);
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").Value(), 7100000);
    generator(1, 7100000, -60.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Program().Overlay().Shown(); }, 5000));
    EXPECT_LE(Program().Overlay().Dbm(), 0.0);
    shoot("3-reopened");

    // A few more points for the README's picture.
    for (std::uint64_t hz : {1800000ull, 3650000ull, 14200000ull, 145500000ull})
        Add(hz);
    Control<TstGrid>("F").SetRow(Program().Points().Find(7100000));
    generator(1, 7100000, -60.0);
    QTest::qWait(shots.isEmpty() ? 0 : 1000);
    shoot("main-points");
}

} // namespace
