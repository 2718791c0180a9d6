// Writes the pictures of the real windows: the README's table editor with the
// graph window beside it when K740_GRAPH_SCREENSHOT names the file, and the
// help pages' pictures into the folder K740_HELP_IMAGES names
// (scripts/help-screenshots.sh sets both). Skipped otherwise.
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A receiver's table: nearly linear in the middle, bending at both ends,
// with the lowest RAW values not set yet.
TDbmTable ReceiverTable() {
    TDbmTable table{};
    for (int raw = 12; raw < 256; ++raw) {
        const double t = raw / 255.0;
        table[std::size_t(raw)] =
            std::round(10.0 * (-131.0 + 112.0 * t - 9.0 * std::sin(3.0 * t))) / 10.0;
    }
    return table;
}

} // namespace

TEST(Screenshot, TableEditorGraphAndSweepWindows) {
    const QString readme = qEnvironmentVariable("K740_GRAPH_SCREENSHOT");
    const QString help = qEnvironmentVariable("K740_HELP_IMAGES");
    if (readme.isEmpty() && help.isEmpty())
        GTEST_SKIP() << "neither K740_GRAPH_SCREENSHOT nor K740_HELP_IMAGES set";
    testsupport::TemporaryRegistry registry; // the sweep window's settings
    TPointListModel points;
    TGraphForm graphForm;
    TEditValForm value;
    TFillForm fill;
    TFSelectForm select(points);
    TSweepForm sweep;
    TTableForm table({graphForm, value, fill, select, sweep});
    QImage editor, graph;
    // The editor as the Edit command shows it, and the graph window beside it.
    TstForm::SetModalResponder([&](TstForm &) {
        table.SetLiveRaw(110);
        testsupport::Click(testsupport::Child(table, "stSpeedButton4")); // Graph
        QCoreApplication::processEvents();
        editor = table.grab().toImage();
        graph = graphForm.grab().toImage();
        return int(mrCancel);
    });
    table.Edit({"ZX-K740", -1, 14250000}, ReceiverTable(), nullptr);
    if (!readme.isEmpty()) {
        QImage both(editor.width() + 8 + graph.width(), std::max(editor.height(), graph.height()),
                    QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, editor);
        painter.drawImage(editor.width() + 8, 0, graph);
        painter.end();
        EXPECT_TRUE(both.save(readme));
    }
    if (!help.isEmpty()) {
        const QDir dir(help);
        EXPECT_TRUE(editor.save(dir.filePath(QStringLiteral("tableeditor.png"))));
        EXPECT_TRUE(graph.save(dir.filePath(QStringLiteral("graph.png"))));
        TstForm::SetModalResponder([&](TstForm &) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(sweep.grab().save(dir.filePath(QStringLiteral("sweep.png"))));
            return int(mrCancel);
        });
        sweep.SweepPoint(14250000, ReceiverTable());
    }
    TstForm::SetModalResponder(nullptr);
}
