#include "controls/stgrid.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// The table editor's grid: 22 columns of RAW labels and dBm values, one
// fixed header row, only the dBm cells of RAW 0..255 selectable.
struct TableGrid {
    QWidget window;
    TstGrid *grid = new TstGrid(&window);
    std::map<std::pair<int, int>, TstGrid::TGridDrawState> drawn;

    static int CellToRaw(int col, int row) { return 24 * (col / 2) + row - 1; }

    TableGrid() {
        window.resize(660, 390);
        grid->setGeometry(5, 5, 648, 379);
        grid->SetColCount(22);
        grid->SetRowCount(25);
        grid->SetFixedRows(1);
        grid->SetDefaultColWidth(29);
        grid->SetRowHeight(14);
        grid->SetFixedGridLines(true);
        grid->SetColor(RGBColor(66, 66, 66));
        for (int c = 0; c < 22; ++c)
            grid->SetColWidth(c, c % 2 ? 33 : 24);
        grid->SetOnSelectCell([](TstGrid *, int col, int row, bool &can) {
            can = col % 2 == 1 && CellToRaw(col, row) < 256;
        });
        grid->SetOnDrawCell([this](TstGrid *, QPainter &canvas, int col, int row, const QRect &rect,
                                   TstGrid::TGridDrawState state) {
            drawn[{col, row}] = state;
            canvas.fillRect(rect, state & TstGrid::gdSelected ? QColor(144, 144, 144)
                                                              : QColor(99, 99, 99));
        });
        grid->SetSelection(1, 1);
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
    }
};

TEST(Grid, KeyboardCursorSkipsRefusedCells) {
    TableGrid t;
    QTest::keyClick(t.grid, Qt::Key_Right);
    EXPECT_EQ(t.grid->Col(), 3) << "the RAW label column between is skipped";
    QTest::keyClick(t.grid, Qt::Key_Left);
    QTest::keyClick(t.grid, Qt::Key_Left);
    EXPECT_EQ(t.grid->Col(), 1) << "no selectable cell further left";
    QTest::keyClick(t.grid, Qt::Key_Up);
    EXPECT_EQ(t.grid->Row(), 1) << "the header row is fixed";

    t.grid->SetSelection(21, 16);
    QTest::keyClick(t.grid, Qt::Key_Down);
    EXPECT_EQ(t.grid->Row(), 16) << "rows 17..24 of the last pair hold nothing";
    t.grid->SetSelection(19, 20);
    QTest::keyClick(t.grid, Qt::Key_Right);
    EXPECT_EQ(t.grid->Col(), 19);
    QTest::keyClick(t.grid, Qt::Key_End);
    EXPECT_EQ(t.grid->Col(), 19) << "End walks back to the last selectable column";
    t.grid->SetSelection(5, 20);
    QTest::keyClick(t.grid, Qt::Key_End);
    EXPECT_EQ(t.grid->Col(), 19);
    QTest::keyClick(t.grid, Qt::Key_Home);
    EXPECT_EQ(t.grid->Col(), 1);

    t.grid->SetRow(24);
    t.grid->SetCol(21);
    EXPECT_EQ(t.grid->Col(), 1) << "setting the cursor asks too";
    EXPECT_EQ(t.grid->Row(), 24);
}

TEST(Grid, MouseSelectsOnlyCellsThatMayBeSelected) {
    TableGrid t;
    const QRect label = t.grid->CellRect(2, 3);
    QTest::mouseClick(t.grid, Qt::LeftButton, {}, label.center());
    EXPECT_EQ(t.grid->Col(), 1);
    EXPECT_EQ(t.grid->Row(), 1);
    const QRect value = t.grid->CellRect(3, 3);
    QTest::mouseClick(t.grid, Qt::LeftButton, {}, value.center());
    EXPECT_EQ(t.grid->Col(), 3);
    EXPECT_EQ(t.grid->Row(), 3);
}

TEST(Grid, GeometryOfTheTableEditor) {
    TableGrid t;
    EXPECT_EQ(t.grid->VisibleRowCount(), 24) << "25 rows of 14 pixels and a gap fit into 379";
    EXPECT_EQ(t.grid->CellRect(0, 0), QRect(0, 0, 24, 14));
    EXPECT_EQ(t.grid->CellRect(1, 1), QRect(25, 15, 33, 14));
    EXPECT_EQ(t.grid->CellRect(21, 24), QRect(10 * 59 + 25, 24 * 15, 33, 14));
    int col = 0, row = 0;
    t.grid->MouseToCell(24, 14, col, row);
    EXPECT_EQ(col, 0) << "a gap belongs to the cell before it";
    EXPECT_EQ(row, 0);
    t.grid->MouseToCell(25, 15, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    t.grid->MouseToCell(647, 378, col, row);
    EXPECT_EQ(col, 21);
    EXPECT_EQ(row, -1) << "below the last row";
    t.grid->SetColWidth(21, 10);
    t.grid->MouseToCell(647, 20, col, row);
    EXPECT_EQ(col, -1) << "right of the last column";
}

TEST(Grid, FixedCellsOnlyHaveGridLines) {
    TableGrid t;
    t.grid->SetOnDrawCell(nullptr);
    t.grid->SetFixedLineColor(clBlack);
    const QImage image = testsupport::Render(*t.grid);
    EXPECT_EQ(testsupport::Pixel(image, 10, 14), 0x000000u) << "under the header row";
    EXPECT_EQ(testsupport::Pixel(image, 24, 5), 0x000000u) << "between header cells";
    EXPECT_EQ(testsupport::Pixel(image, 10, 29), 0x424242u) << "no line under a value row";
    EXPECT_EQ(testsupport::Pixel(image, 24, 20), 0x424242u) << "no line between value cells";
    t.grid->SetFixedGridLines(false);
    EXPECT_EQ(testsupport::Pixel(testsupport::Render(*t.grid), 10, 14), 0x424242u);
}

// The main window's frequency list: whole-row selection, no fixed rows.
struct ListGrid {
    QWidget window;
    TstGrid *grid = new TstGrid(&window);
    std::vector<std::pair<int, int>> drawn;
    std::map<std::pair<int, int>, TstGrid::TGridDrawState> states;
    int topLeftChanges = 0;

    explicit ListGrid(int rows) {
        window.resize(160, 160);
        grid->setGeometry(0, 0, 132, 154);
        grid->SetColCount(3);
        grid->SetFixedRows(0);
        grid->SetDefaultColWidth(120);
        grid->SetRowHeight(14);
        grid->SetRowSelect(true);
        grid->SetColor(RGBColor(66, 66, 66));
        grid->SetRowCount(rows);
        grid->SetOnDrawCell([this](TstGrid *, QPainter &, int col, int row, const QRect &,
                                   TstGrid::TGridDrawState state) {
            drawn.emplace_back(col, row);
            states[{col, row}] = state;
        });
        QObject::connect(grid, &TstGrid::OnTopLeftChanged, [this] { ++topLeftChanges; });
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
    }
    void Paint() {
        drawn.clear();
        states.clear();
        testsupport::Render(*grid);
    }
};

TEST(Grid, VisibleRowsAndTopRowFollowTheListLength) {
    ListGrid few(5);
    EXPECT_EQ(few.grid->VisibleRowCount(), 5);
    EXPECT_EQ(few.grid->MaxTopRow(), 0);

    ListGrid list(20);
    EXPECT_EQ(list.grid->VisibleRowCount(), 10) << "154 pixels hold 10 rows of 14 and a gap";
    EXPECT_EQ(list.grid->MaxTopRow(), 10);
    list.grid->SetTopRow(4);
    EXPECT_EQ(list.grid->TopRow(), 4);
    EXPECT_EQ(list.topLeftChanges, 1);
    list.grid->SetTopRow(4);
    EXPECT_EQ(list.topLeftChanges, 1) << "no event without a change";
    list.grid->SetTopRow(99);
    EXPECT_EQ(list.grid->TopRow(), 10);
    EXPECT_EQ(list.topLeftChanges, 2);

    int col = 0, row = 0;
    list.grid->MouseToCell(3, 16, col, row);
    EXPECT_EQ(row, 11) << "mouse positions count from the top row";
    list.grid->SetRowCount(12);
    EXPECT_EQ(list.grid->TopRow(), 2) << "shrinking the list pulls the top row back";
    EXPECT_EQ(list.topLeftChanges, 3);
}

TEST(Grid, KeyboardScrollsTheCurrentRowIntoView) {
    ListGrid list(20);
    list.grid->SetSelection(0, 0);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(list.grid, Qt::Key_Down);
    EXPECT_EQ(list.grid->Row(), 10);
    EXPECT_EQ(list.grid->TopRow(), 1);
    EXPECT_EQ(list.topLeftChanges, 1);
    QTest::keyClick(list.grid, Qt::Key_End);
    EXPECT_EQ(list.grid->Row(), 19);
    EXPECT_EQ(list.grid->TopRow(), 10);
    QTest::keyClick(list.grid, Qt::Key_PageUp);
    EXPECT_EQ(list.grid->Row(), 9);
    EXPECT_EQ(list.grid->TopRow(), 0);
    list.grid->SetSelection(0, 2);
    QTest::keyClick(list.grid, Qt::Key_PageDown);
    EXPECT_EQ(list.grid->Row(), 12) << "a page down";
    EXPECT_EQ(list.grid->TopRow(), 10) << "and still on view";
}

TEST(Grid, WholeRowSelectionMarksEveryCellOfTheRow) {
    ListGrid list(20);
    list.grid->SetRow(3);
    list.Paint();
    for (int c = 0; c < 2; ++c) { // column 2 lies beyond the grid's width
        EXPECT_TRUE(list.states[std::make_pair(c, 3)] & TstGrid::gdSelected) << c;
        EXPECT_FALSE(list.states[std::make_pair(c, 2)] & TstGrid::gdSelected) << c;
        EXPECT_FALSE(list.states[std::make_pair(c, 3)] & TstGrid::gdFixed);
    }
    EXPECT_TRUE(list.states[std::make_pair(0, 3)] & TstGrid::gdFocused);

    TableGrid t;
    t.grid->SetSelection(3, 2);
    t.drawn.clear();
    testsupport::Render(*t.grid);
    EXPECT_TRUE(t.drawn[std::make_pair(3, 2)] & TstGrid::gdSelected);
    EXPECT_FALSE(t.drawn[std::make_pair(1, 2)] & TstGrid::gdSelected)
        << "one cell without row selection";
    EXPECT_TRUE(t.drawn[std::make_pair(0, 0)] & TstGrid::gdFixed);
    EXPECT_FALSE(t.drawn[std::make_pair(0, 0)] & TstGrid::gdSelected);
}

TEST(Grid, OnlyTheVisibleRowsAreDrawn) {
    ListGrid list(100000);
    list.grid->SetTopRow(50000);
    list.Paint();
    std::set<int> rows;
    for (const auto &cell : list.drawn)
        rows.insert(cell.second);
    EXPECT_EQ(*rows.begin(), 50000);
    EXPECT_LE(*rows.rbegin(), 50000 + list.grid->VisibleRowCount());
    EXPECT_LE(list.drawn.size(), std::size_t(3 * 11));
}

TEST(Grid, CellsKeepTheirTextsAndRepaintWhenSet) {
    ListGrid list(3);
    list.grid->SetCells(1, 2, QStringLiteral("145500000"));
    EXPECT_EQ(list.grid->Cells(1, 2), QStringLiteral("145500000"));
    EXPECT_EQ(list.grid->Cells(2, 2), QString());
    EXPECT_EQ(list.grid->Cells(5, 2), QString()) << "outside the grid";
    list.grid->SetColCount(2);
    EXPECT_EQ(list.grid->Cells(1, 2), QStringLiteral("145500000"));
    list.grid->SetRowCount(1);
    list.grid->SetRowCount(3);
    EXPECT_EQ(list.grid->Cells(1, 2), QString()) << "removed rows take their texts along";
    list.grid->SetCells(0, 0, QStringLiteral("x"));
    list.grid->ClearRow(0);
    EXPECT_EQ(list.grid->Cells(0, 0), QString());
}

TEST(Grid, DoubleClickAndKeyPressReachTheOwner) {
    ListGrid list(5);
    int doubleClicks = 0;
    QString keys;
    QObject::connect(list.grid, &TstGrid::OnDblClick, [&] { ++doubleClicks; });
    list.grid->SetOnKeyPress([&](TstGrid *, QChar &key) { keys += key; });
    QTest::mouseDClick(list.grid, Qt::LeftButton, {}, list.grid->CellRect(0, 2).center());
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(list.grid->Row(), 2) << "the press of a double click selects";
    QTest::keyClick(list.grid, Qt::Key_Return);
    QTest::keyClick(list.grid, Qt::Key_A);
    EXPECT_EQ(keys, QStringLiteral("\ra"));
}

TEST(Grid, SelectionHandlerCanRefuseAndSetSelectionDoesNotAsk) {
    ListGrid list(10);
    std::vector<int> asked;
    list.grid->SetOnSelectCell([&](TstGrid *, int, int row, bool &can) {
        asked.push_back(row);
        can = row != 4;
    });
    list.grid->SetRow(4);
    EXPECT_EQ(list.grid->Row(), 0);
    list.grid->SetRow(5);
    EXPECT_EQ(list.grid->Row(), 5);
    list.grid->SetSelection(0, 4);
    EXPECT_EQ(list.grid->Row(), 4);
    EXPECT_EQ(asked, (std::vector<int>{4, 5}));
    QTest::keyClick(list.grid, Qt::Key_Down);
    QTest::keyClick(list.grid, Qt::Key_Up);
    EXPECT_EQ(list.grid->Row(), 3) << "up from 5 skips the refused row 4";
}

} // namespace
