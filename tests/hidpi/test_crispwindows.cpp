// The windows at a device pixel ratio of 2, as the user sees them: the main
// window with the demo receiver open and the module's window in it. No
// region holding text or lines is a pixel-doubled picture.
#include "hidpitesting.h"

#include "app/mainformtesting.h"
#include "dialogs/tableformtesting.h"

#include <gtest/gtest.h>

#include <QScreen>

#include <cmath>
#include <set>

namespace {

using namespace mainformtesting;

using CrispWindows = MainWindowTest;

// With K740_HIDPI_IMAGES naming a folder, the pictures go there to be looked
// at.
void Save(const QImage &image, const char *name) {
    const QString folder = qEnvironmentVariable("K740_HIDPI_IMAGES");
    if (!folder.isEmpty()) image.save(QDir(folder).filePath(QString::fromLatin1(name)));
}

TEST_F(CrispWindows, MainWindowAndModuleWindow) {
    TMainForm &w = Start();
    Open();
    ASSERT_GT(Receiver().Handle(), 0);
    // A few spectra, so the module's trace and the gauge show.
    QTest::qWait(700);
    const QImage main = testsupport::Render(w);
    Save(main, "main.png");
    EXPECT_EQ(main.size(), w.size() * 2);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(main), std::nullopt);

    // The round "open" mark of the device list: smoothed at 2, its two exact
    // colours at 1.
    auto &devices = Control<TstGrid>("K7Devs");
    const QRect mark = devices.CellRect(0, 0).adjusted(2, 2, -2, -2);
    const auto colours = [&](qreal ratio) {
        const QImage image = hidpitesting::RenderAt(devices, ratio);
        std::set<QRgb> found;
        for (int y = int(mark.top() * ratio); y < int((mark.bottom() + 1) * ratio); ++y)
            for (int x = int(mark.left() * ratio); x < int((mark.right() + 1) * ratio); ++x)
                found.insert(image.pixel(x, y) & 0xFFFFFF);
        return found.size();
    };
    EXPECT_EQ(colours(1.0), 2u);
    EXPECT_GT(colours(2.0), 2u);

    QWidget *module = nullptr;
    for (QWidget *child :
         Control<TstPanel>("DMP").findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible()) module = child;
    ASSERT_NE(module, nullptr);
    const QImage moduleImage = testsupport::Render(*module);
    Save(moduleImage, "module.png");
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(moduleImage), std::nullopt);
}

// The table editor with a table and the graph window beside it: on a screen
// of 1280 by 1024 neither side of the centred editor has room, so the editor
// moves aside and the graph hides none of the grid.
using CrispEditorAndGraph = tableformtesting::EditorTest;

TEST_F(CrispEditorAndGraph, TableEditorAndGraphWindow) {
    TDbmTable table{};
    for (int raw = 12; raw < 256; ++raw)
        table[std::size_t(raw)] = std::round(10.0 * (-131.0 + 0.44 * raw)) / 10.0;
    editor->LoadTable(table, QStringLiteral("14.25 MHz"));
    editor->SetLiveRaw(110);
    ShowEditor();
    Press("stSpeedButton4"); // Graph
    QCoreApplication::processEvents();
    ASSERT_TRUE(graph.isVisible());
    const QRect grid(Grid().mapToGlobal(QPoint(0, 0)), Grid().size());
    const QRect screen = editor->screen()->availableGeometry();
    EXPECT_FALSE(graph.frameGeometry().intersects(grid));
    EXPECT_TRUE(screen.contains(graph.frameGeometry()));
    EXPECT_TRUE(screen.contains(editor->frameGeometry()));
    const QImage editorImage = testsupport::Render(*editor);
    const QImage graphImage = testsupport::Render(graph);
    Save(editorImage, "editor.png");
    Save(graphImage, "graph.png");
    EXPECT_EQ(editorImage.size(), editor->size() * 2);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(editorImage), std::nullopt);
    EXPECT_EQ(graphImage.size(), graph.size() * 2);
    EXPECT_EQ(testsupport::FindPixelDoubledRegion(graphImage), std::nullopt);
}

} // namespace
