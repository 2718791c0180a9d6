// The table editor's grid menu: its two entries, the point and table they
// take from the editor, and the imported table handed back once.
#include "dialogs/tablecsvmenu.h"
#include "support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(TableCsvMenu, ExportsTheEditedTableAndHandsBackAnImport) {
    QTemporaryDir dir;
    QWidget window;
    auto *grid = new QWidget(&window);
    auto *undo = new QAction("Undo", grid);
    grid->addAction(undo);
    TDbmTable table{};
    table[3] = -33.5;
    TCsvPoint point{"ZX-K740", -1, 7100000};
    auto *menu = new TTableCsvMenu(
        grid, &window, [&] { return point; }, [&] { return table; });
    QSignalSpy imported(menu, &TTableCsvMenu::TableImported);
    auto &exportTable = testsupport::Child<QAction>(*menu, "AExportTable");
    auto &importTable = testsupport::Child<QAction>(*menu, "AImportTable");
    // After the grid's own entries and a separator.
    const QList<QAction *> actions = grid->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0], undo);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2], &exportTable);
    EXPECT_EQ(actions[3], &importTable);
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(exportTable.text(), "Export table as CSV\u2026");
    EXPECT_EQ(importTable.text(), "Import table from CSV\u2026");

    testsupport::MessageBoxRecorder boxes;
    testsupport::FileDialogRecorder dialogs(
        {dir.filePath("t.csv"), "", dir.filePath("t.csv"), dir.filePath("t.csv")});
    exportTable.trigger();
    table[3] = -1.0;
    importTable.trigger(); // cancelled
    EXPECT_EQ(imported.count(), 0);
    importTable.trigger();
    ASSERT_EQ(imported.count(), 1);
    EXPECT_EQ(imported[0][0].value<TDbmTable>()[3], -33.5);
    point.Frequency = 7200000; // another point: the file names none, so it still imports
    importTable.trigger();
    EXPECT_EQ(imported.count(), 2);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(dialogs.requests.size(), 4u);
}

} // namespace
