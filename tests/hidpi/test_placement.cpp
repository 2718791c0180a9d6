// Where windows open on a screen of 1280 by 1024 logical pixels at a scale
// of 2: the main window at its saved position only where it fits, the help
// viewer beside the window that asked for it.
#include "app/mainformtesting.h"
#include "hhctrl.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTest>
#include <QWidget>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

using MainWindowPlacement = mainformtesting::MainWindowTest;

// A position saved at 100 % on a screen of 2560 device pixels lies partly
// off the same screen at 200 %.
TEST_F(MainWindowPlacement, SavedPositionUsedOnlyWhereTheWindowFitsAtTheScale) {
    const QPoint centre((1280 - 496) / 2, (1024 - 296) / 2);
    struct Row {
        QPoint saved;
        QPoint opened;
    } rows[] = {
        {{1000, 100}, centre},
        {{100, 800}, centre},
        {{700, 700}, {700, 700}},
        {{1280 - 496, 1024 - 296}, {1280 - 496, 1024 - 296}},
    };
    for (const Row &row : rows) {
        {
            auto key = platform::OpenUserKey();
            key->setValue("WindowLeft", row.saved.x());
            key->setValue("WindowTop", row.saved.y());
        }
        TProgram program;
        EXPECT_EQ(program.MainForm().pos(), row.opened) << row.saved.x() << "," << row.saved.y();
    }
}

TEST(Placement, HelpViewerBesideTheAskingWindowElseOverIt) {
    void *library =
        dlopen((testsupport::BinDir() + "/" HHCTRL_FILE_NAME).toUtf8().constData(), RTLD_NOW);
    ASSERT_NE(library, nullptr);
    auto help = reinterpret_cast<HtmlHelpAFn>(dlsym(library, "HtmlHelpA"));
    ASSERT_NE(help, nullptr);
    const QByteArray file = QFile::encodeName(testsupport::BinDir() + "/K740scalib.chm");
    struct Row {
        const char *name;
        QRect asking;
        QPoint viewer; // 800 by 600
    } rows[] = {
        {"right of it", {50, 50, 200, 100}, {258, 50}},
        {"left of it", {1000, 60, 200, 100}, {192, 60}},
        {"over it, inside the screen", {300, 900, 496, 296}, {148, 424}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget asking;
        asking.setGeometry(row.asking);
        asking.show();
        asking.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&asking));
        QWidget *viewer = QWidget::find(WId(help(0, file.constData(), HH_DISPLAY_TOPIC, 0)));
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->geometry(), QRect(row.viewer, QSize(800, 600)));
        help(0, nullptr, HH_CLOSE_ALL, 0);
    }
    dlclose(library);
}

} // namespace
