#include "app/k740scalib.h"
#include "mainformtesting.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>

using namespace mainformtesting;

namespace {

constexpr const char *kApiMessage =
    "Unable to load dynamic library ZXK740API.dll.\nApplication will be terminated.";
constexpr const char *kCalibrationMessage =
    "Unable to load dynamic library smetersdk.dll.\nApplication will be terminated.";

using StartupTest = MainWindowTest;

// A folder with links to some of the components the program loads.
QString FolderWith(const QTemporaryDir &temp, std::initializer_list<const char *> files) {
    for (const char *file : files)
        QFile::link(testsupport::BinDir() + "/" + file, temp.path() + "/" + file);
    return temp.path();
}

void ExpectOnlyBox(const testsupport::MessageBoxRecorder &boxes, const char *text) {
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QString::fromLatin1(text));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("S-Meter Calibrator for ZX-K740"));
    EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes.boxes[0].owner.isNull());
}

TEST_F(StartupTest, ReceiverApiMissingEndsWithItsMessageOnly) {
    platform::SetLibrarySearchFolder(temp.path()); // an empty folder
    EXPECT_NE(RunK740scalib(), 0);
    ExpectOnlyBox(boxes, kApiMessage);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "every window freed";
}

TEST_F(StartupTest, ReceiverApiLackingOneEntryPointIsRejected) {
    platform::SetLibrarySearchFolder(testsupport::BinDir() + "/variants/no-setrfamp");
    TProgram program;
    EXPECT_FALSE(program.MainForm().ShowAllowed());
    ExpectOnlyBox(boxes, kApiMessage);
}

TEST_F(StartupTest, CalibrationLibraryMissingEndsWithItsMessage) {
    platform::SetLibrarySearchFolder(FolderWith(temp, {"ZXK740API.dll", "libk740sim.so"}));
    EXPECT_NE(RunK740scalib(), 0);
    ExpectOnlyBox(boxes, kCalibrationMessage);
    for (QWidget *window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible());
}

TEST_F(StartupTest, RunsUntilTheMainWindowCloses) {
    // Closes the main window once the loop runs with it shown.
    QTimer closer;
    bool wasShown = false;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        TMainForm *main = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TMainForm *>(window)) main = form;
        if (main && main->isVisible() && !wasShown && QThread::currentThread()->loopLevel() > 0) {
            wasShown = true;
            // Shown: the receivers are listed, so a receiver can be opened.
            EXPECT_TRUE(testsupport::Child(*main, "BSelect").isEnabled());
            main->close();
        }
    });
    closer.start(10);
    EXPECT_EQ(RunK740scalib(), 0);
    EXPECT_TRUE(wasShown);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "every window freed";
    QSettings key(QSettings::NativeFormat, QSettings::UserScope, "Korvanta",
                  "S-meter Calibrator for K740");
    EXPECT_TRUE(key.contains("WindowTop"));
    EXPECT_TRUE(key.contains("WindowLeft"));
}

TEST_F(StartupTest, LayoutAndStateWithoutReceiver) {
    TMainForm &w = Start();
    EXPECT_EQ(w.size(), QSize(496, 296));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("S-Meter Calibrator for ZX-K740"));
    EXPECT_EQ(w.LCaption->Caption(), QStringLiteral("S-Meter Calibrator for ZX-K740"));
    EXPECT_EQ(Control<TstPanel>("Panel").geometry(), QRect(4, 4, 488, 18));
    EXPECT_EQ(w.ButtonPanel->width(), 92);
    EXPECT_EQ(Control<TstPanel>("DevPanel").geometry(), QRect(8, 32, 225, 133));
    EXPECT_EQ(Control<TstPanel>("FiP").geometry(), QRect(8, 170, 225, 51));
    EXPECT_EQ(Control<TstPanel>("FsP").geometry(), QRect(237, 32, 245, 189));
    EXPECT_EQ(Control<TstPanel>("SP").geometry(), QRect(8, 226, 225, 61));
    EXPECT_EQ(Control<TstPanel>("FP").geometry(), QRect(237, 226, 194, 61));
    EXPECT_EQ(Control<TstGauge>("G").geometry(), QRect(8, 28, 209, 19));
    EXPECT_EQ(Control<TmyFrequencyEdit>("Fq").geometry(), QRect(8, 24, 177, 30));
    EXPECT_EQ(Control<TstSpeedButton>("stSpeedButton5").geometry(), QRect(435, 266, 53, 21));
    EXPECT_EQ(Control<TstSpeedButton>("BSelect").Caption(), QStringLiteral("Open"));
    EXPECT_EQ(Control<TstSpeedButton>("BSelect").Hint(),
              QStringLiteral("Close opened radio receiver and open selected radio receiver"));
    EXPECT_EQ(Control<TstSpeedButton>("stSpeedButton8").Hint(),
              QStringLiteral("Adds new frequnecy point into the list"));
    EXPECT_FALSE(Control<TstPanel>("DMP").isVisible());
    EXPECT_FALSE(Control<TmyScrollBar>("SB").isVisible());
    EXPECT_FALSE(Control<TstGrid>("D").isVisible());
    EXPECT_FALSE(Control<TstSpeedButton>("stSpeedButton7").isVisible());
    // Without a receiver every panel but the device list is disabled.
    EXPECT_TRUE(Control<TstPanel>("DevPanel").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FiP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FsP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("SP").isEnabled());
    EXPECT_FALSE(Control<TstPanel>("FP").isEnabled());
    EXPECT_TRUE(Control<TstSpeedButton>("BSelect").isEnabled()); // the demo receiver is listed
    EXPECT_FALSE(Control<TstSpeedButton>("BClose").isEnabled());
    EXPECT_TRUE(Control<QTimer>("T").isActive());
    EXPECT_EQ(Control<QTimer>("T").interval(), 300);
    EXPECT_EQ(Receiver().CurrentMode(), -1);
    EXPECT_EQ(Control<TstGrid>("K7Devs").ColWidth(0), 15);
    EXPECT_EQ(Control<TstGrid>("K7Devs").ColWidth(1), 85);
    EXPECT_EQ(Control<TstGrid>("K7Devs").ColWidth(2), 70);
}

QRect Monitor() {
    return QGuiApplication::primaryScreen()->geometry();
}

TEST_F(StartupTest, WindowOpensCentredThenWhereItWasClosed) {
    {
        TMainForm &w = Start();
        const QRect screen = Monitor();
        EXPECT_EQ(w.pos(), QPoint((screen.width() - 496) / 2, (screen.height() - 296) / 2));
        w.move(40, 30);
        w.close();
        EXPECT_EQ(platform::ReadInteger(Key(), "WindowLeft"), 40);
        EXPECT_EQ(platform::ReadInteger(Key(), "WindowTop"), 30);
        form.reset();
    }
    TMainForm &again = Start();
    EXPECT_EQ(again.pos(), QPoint(40, 30));
}

TEST_F(StartupTest, SavedPositionOffTheMonitorIsRefused) {
    const QRect screen = Monitor();
    const QPoint centre((screen.width() - 496) / 2, (screen.height() - 296) / 2);
    struct Case {
        int left, top;
        bool used;
    } cases[] = {
        {screen.width(), 20, false}, {screen.width() - 1, 20, true}, {20, screen.height(), false},
        {20, 10 - 296, false},       {20, 11 - 296, true},           {10 - 496, 20, false},
    };
    for (const Case &c : cases) {
        {
            auto key = platform::OpenUserKey();
            key->setValue("WindowLeft", c.left);
            key->setValue("WindowTop", c.top);
        }
        TProgram program;
        EXPECT_EQ(program.MainForm().pos(), c.used ? QPoint(c.left, c.top) : centre)
            << c.left << "," << c.top;
    }
}

} // namespace

namespace {

TEST(TitleWithFileName, ShortenedFromTheFrontUntilItFits) {
    TmyLabel label;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    label.setFont(font);
    label.resize(388, 14);
    EXPECT_EQ(TMainForm::TitleWithFileName("New.cal", label),
              QStringLiteral("S-Meter Calibrator for ZX-K740 [New.cal]"));
    const QString path = QStringLiteral("/home/operator/calibration/tables/2026/december/"
                                        "receiver-0042/points.cal");
    const QString text = TMainForm::TitleWithFileName(path, label);
    EXPECT_TRUE(text.startsWith(QStringLiteral("S-Meter Calibrator for ZX-K740 [...")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("points.cal]")));
    EXPECT_LT(QFontMetrics(font).horizontalAdvance(text), 388);
    // One character more would not fit.
    const QString kept = text.mid(text.indexOf("[...") + 4).chopped(1);
    const QString longer = path.right(kept.size() + 1);
    EXPECT_GE(QFontMetrics(font).horizontalAdvance(
                  QStringLiteral("S-Meter Calibrator for ZX-K740 [...%1]").arg(longer)),
              388);
}

} // namespace
