// The table editor's hot paths: loading a table (256 cells and the graph's
// one redraw, painted), one value stored with its repaint, as after the value
// dialog, and one value of a graph drag, which the grid shows at once. Each
// should stay well under 2 ms, so that a drag at 60 moves a second never lags.
#include "benchsupport.h"

#include "controls/stalignedit.h"
#include "controls/stgrid.h"
#include "controls/stspeedbutton.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"

#include <QTest>

namespace {

// The editor and the windows it works with, the graph window shown beside it.
struct Editor {
    Editor() {
        table.show();
        QTest::mouseClick(table.findChild<QWidget *>(QStringLiteral("stSpeedButton4")),
                          Qt::LeftButton);
        QApplication::processEvents();
    }
    TstGrid &Grid() { return *table.findChild<TstGrid *>(QStringLiteral("T")); }

    TPointListModel points;
    TGraphForm graph;
    TEditValForm value;
    TFillForm fill;
    TFSelectForm select{points};
    TSweepForm sweep;
    TTableForm table{TTableFormWindows{graph, value, fill, select, sweep}};
};

TDbmTable Ramp(double offset) {
    TDbmTable t;
    for (int r = 0; r < 256; ++r)
        t[r] = -140.0 + r * 0.5 + offset;
    return t;
}

void BM_LoadTable(benchmark::State &state) {
    Editor editor;
    const TDbmTable tables[] = {Ramp(0.0), Ramp(0.25)};
    int i = 0;
    for (auto _ : state) {
        editor.table.LoadTable(tables[i ^= 1], QStringLiteral("145.5 MHz"));
        QApplication::processEvents(); // the paint of grid and graph
    }
}
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMicrosecond);

// LoadTable's own part, without the paint that follows.
void BM_LoadTableStore(benchmark::State &state) {
    Editor editor;
    const TDbmTable tables[] = {Ramp(0.0), Ramp(0.25)};
    int i = 0;
    for (auto _ : state)
        editor.table.LoadTable(tables[i ^= 1], QStringLiteral("145.5 MHz"));
    QApplication::processEvents();
}
BENCHMARK(BM_LoadTableStore)->Unit(benchmark::kMicrosecond);

// The paint of the whole grid alone.
void BM_PaintGrid(benchmark::State &state) {
    Editor editor;
    editor.table.LoadTable(Ramp(0.0), QString());
    TstGrid &grid = editor.Grid();
    for (auto _ : state)
        grid.repaint();
}
BENCHMARK(BM_PaintGrid)->Unit(benchmark::kMicrosecond);

// EditValue's store after the dialog's OK: cell, table, graph point and undo step.
void BM_StoreValue(benchmark::State &state) {
    Editor editor;
    editor.table.LoadTable(Ramp(0.0), QString());
    int i = 0;
    for (auto _ : state) {
        ++i;
        editor.table.WriteValue(i & 255, -(i % 1400) / 10.0);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_StoreValue)->Unit(benchmark::kMicrosecond);

// The whole edit of a value: Enter on its cell, the value dialog answered at
// once with Enter.
void BM_EditValue(benchmark::State &state) {
    Editor editor;
    editor.table.LoadTable(Ramp(0.0), QString());
    auto *field = editor.value.findChild<TstAlignEdit *>(QStringLiteral("V"));
    int i = 0;
    TstForm::SetModalResponder([&i, field](TstForm &form) {
        field->setText(QString::number(-(i % 1400) / 10.0));
        QTest::keyClick(field, Qt::Key_Return);
        return form.ModalResult();
    });
    TstGrid &grid = editor.Grid();
    for (auto _ : state) {
        ++i;
        int column, row;
        TTableForm::RawToCell(i & 255, column, row);
        grid.SetSelection(column, row);
        QTest::keyClick(&grid, Qt::Key_Return);
        QApplication::processEvents();
    }
    TstForm::SetModalResponder({});
}
BENCHMARK(BM_EditValue)->Unit(benchmark::kMicrosecond);

// One mouse move of a drag in the graph: the editor's part.
void BM_GraphDragValue(benchmark::State &state) {
    Editor editor;
    editor.table.LoadTable(Ramp(0.0), QString());
    emit editor.graph.DragStarted();
    int i = 0;
    for (auto _ : state) {
        ++i;
        emit editor.graph.DBMChanged(100 + (i & 7), -(i % 1400) / 10.0);
    }
    emit editor.graph.DragFinished();
}
BENCHMARK(BM_GraphDragValue)->Unit(benchmark::kMicrosecond);

} // namespace

K740_BENCHMARK_MAIN();
