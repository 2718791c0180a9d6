// The point list's context menu: "Export all points as CSV…" is usable with
// a calibration set open and writes the tables of the list's points.
#include "app/pointlistmenu.h"
#include "mainformtesting.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QTimer>

namespace {

using mainformtesting::MainWindowTest;

TEST_F(MainWindowTest, PointListMenuExportsAllPointsOfTheCalibrationMode) {
    Start();
    auto &list = Control<TstGrid>("F");
    auto &exportPoints = testsupport::Child<QAction>(list, "AExportPoints");
    EXPECT_TRUE(list.actions().contains(&exportPoints));
    EXPECT_EQ(list.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(exportPoints.text(), "Export all points as CSV\u2026");
    // The state is settled as the menu opens; the event is sent as the
    // platform sends it, and the menu it opens runs a loop of its own, which a
    // timer closes.
    const auto openMenu = [&] {
        QTimer::singleShot(0, [] {
            if (QWidget *popup = QApplication::activePopupWidget()) popup->close();
        });
        QContextMenuEvent opening(QContextMenuEvent::Mouse, QPoint(5, 5),
                                  list.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&list, &opening);
    };
    openMenu();
    EXPECT_FALSE(exportPoints.isEnabled());

    Open();
    Smsdk &sdk = Smsdk::Instance();
    TCalDocument &document = Document();
    document.New();
    ASSERT_TRUE(document.Save(temp.filePath("a.cal")).Ok());
    TDbmTable table{};
    table[1] = -100.25;
    ASSERT_EQ(sdk.PutDBMs(document.Handle(), "ZX-K740", -1, 7100000, table.data()), SMS_OK);
    ASSERT_EQ(sdk.PutDBMs(document.Handle(), "ZX-K740", 3, 98000000, table.data()), SMS_OK);

    openMenu();
    EXPECT_TRUE(exportPoints.isEnabled());
    testsupport::FileDialogRecorder dialogs({temp.filePath("out.csv")});
    exportPoints.trigger();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].fileName, temp.filePath("a.csv"));
    QFile file(temp.filePath("out.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "receiver,mode,frequency_hz,raw,dbm\nZX-K740,-1,7100000,1,-100.25\n");
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
