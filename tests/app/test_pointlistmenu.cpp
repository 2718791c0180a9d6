// The point list's context menu: "Export all points as CSV…" is usable with
// a calibration set open and writes the tables of the list's points.
#include "app/pointlistmenu.h"
#include "mainformtesting.h"

#include <QAction>
#include <QContextMenuEvent>

namespace {

using mainformtesting::MainWindowTest;

TEST_F(MainWindowTest, PointListMenuExportsAllPointsOfTheCalibrationMode) {
    TMainForm &window = Start();
    TPointListMenu *menu = window.PointListMenu;
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(window.F->actions().contains(menu->AExportPoints));
    EXPECT_EQ(window.F->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(menu->AExportPoints->text(), "Export all points as CSV\u2026");
    // The state is settled as the menu opens (the event's own run would be
    // the menu's modal loop).
    QContextMenuEvent opening(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    menu->eventFilter(window.F, &opening);
    EXPECT_FALSE(menu->AExportPoints->isEnabled());

    Open();
    Smsdk &sdk = Smsdk::Instance();
    TCalDocument &document = window.Document();
    document.New();
    ASSERT_TRUE(document.Save(temp.filePath("a.cal")).Ok());
    TDbmTable table{};
    table[1] = -100.25;
    ASSERT_EQ(sdk.PutDBMs(document.Handle(), "ZX-K740", -1, 7100000, table.data()), SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(document.Handle(), "ZX-K740", 3, 98000000, table.data()), SMS_OK);

    menu->eventFilter(window.F, &opening);
    EXPECT_TRUE(menu->AExportPoints->isEnabled());
    testsupport::FileDialogRecorder dialogs({temp.filePath("out.csv")});
    menu->AExportPoints->trigger();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName, temp.filePath("a.csv"));
    QFile file(temp.filePath("out.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,7100000,1,-100.25\n");
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
