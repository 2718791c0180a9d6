// The table editor's grid menu: its two entries, the point and table they
// take from the editor, and the imported table handed back once.
#include "dialogs/tablecsvmenu.h"
#include "support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(TableCsvMenu, ExportsTheEditedTableAndHandsBackAnImport) {
    QTemporaryDir dir;
    QWidget window;
    auto *grid = new QWidget(&window);
    TDbmTable table{};
    table[3] = -33.5;
    TCsvPoint point{"ZX-K740", -1, 7100000};
    auto *menu = new TTableCsvMenu(
        grid, &window, [&] { return point; }, [&] { return table; });
    QSignalSpy imported(menu, &TTableCsvMenu::TableImported);
    EXPECT_EQ(menu->Menu->actions(), (QList<QAction *>{menu->AExportTable, menu->AImportTable}));
    EXPECT_EQ(menu->AExportTable->text(), "Export table as CSV\u2026");
    EXPECT_EQ(menu->AImportTable->text(), "Import table from CSV\u2026");
    window.show();
    emit grid->customContextMenuRequested(QPoint(1, 1));
    EXPECT_TRUE(menu->Menu->isVisible());
    menu->Menu->hide();

    testsupport::MessageBoxRecorder boxes;
    testsupport::FileDialogRecorder dialogs(
        {dir.filePath("t.csv"), "", dir.filePath("t.csv"), dir.filePath("t.csv")});
    menu->AExportTable->trigger();
    table[3] = -1.0;
    menu->AImportTable->trigger(); // cancelled
    EXPECT_EQ(imported.count(), 0);
    menu->AImportTable->trigger();
    ASSERT_EQ(imported.count(), 1);
    EXPECT_EQ(imported[0][0].value<TDbmTable>()[3], -33.5);
    point.Frequency = 7200000; // another point: the file names none, so it still imports
    menu->AImportTable->trigger();
    EXPECT_EQ(imported.count(), 2);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(dialogs.requests.size(), 4u);
}

} // namespace
