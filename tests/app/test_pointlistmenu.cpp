// The point list's context menu: "Export all points as CSV…" is usable with
// a calibration set open and writes the tables of the list's points.
#include "app/pointlistmenu.h"
#include "mainformtesting.h"

#include <QAction>
#include <QMenu>

namespace {

using mainformtesting::MainWindowTest;

TEST_F(MainWindowTest, PointListMenuExportsAllPointsOfTheCalibrationMode) {
    TMainForm &window = Start();
    TPointListMenu *menu = window.PointListMenu;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->AExportPoints->text(), "Export all points as CSV\u2026");

    emit window.F->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(menu->Menu->isVisible());
    EXPECT_FALSE(menu->AExportPoints->isEnabled());
    menu->Menu->hide();

    Open();
    Smsdk &sdk = Smsdk::Instance();
    window.CalHandle = sdk.LoadCALFile(nullptr);
    window.CalLoaded = true;
    window.FsP->SetEnabled(true);
    window.CalFileName = temp.filePath("a.cal");
    TDbmTable table{};
    table[1] = -100.25;
    ASSERT_EQ(sdk.PutDBMs(window.CalHandle, "ZX-K740", -1, 7100000, table.data()), SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(window.CalHandle, "ZX-K740", 3, 98000000, table.data()), SMS_OK);

    emit window.F->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(menu->AExportPoints->isEnabled());
    testsupport::FileDialogRecorder dialogs({temp.filePath("out.csv")});
    menu->AExportPoints->trigger();
    menu->Menu->hide();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName, temp.filePath("a.csv"));
    QFile file(temp.filePath("out.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,7100000,1,-100.25\n");
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
