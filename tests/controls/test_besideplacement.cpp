// Where a window opens beside another (the graph beside the table editor).
#include "controls/besideplacement.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceBeside, RightThenLeftThenMovingTheOtherThenTheEdge) {
    const QSize graph(557, 406);
    const QRect editorSize(0, 0, 681, 448);
    const QRect grid(11, 33, 648, 379); // inside the editor
    struct Row {
        const char *name;
        QRect available;
        QPoint editor;
        QPoint window;
        QPoint editorAfter;
    } rows[] = {
        {"room on the right", {0, 0, 1600, 1200}, {100, 100}, {781, 100}, {100, 100}},
        {"exactly room on the right", {0, 0, 1600, 1200}, {362, 100}, {1043, 100}, {362, 100}},
        {"room on the left only", {0, 0, 1600, 1200}, {600, 100}, {43, 100}, {600, 100}},
        {"neither side: the editor moves left",
         {0, 0, 1280, 1024},
         {300, 288},
         {723, 288},
         {42, 288}},
        {"a screen whose left edge is not 0",
         {1920, 0, 1280, 1024},
         {2220, 288},
         {2643, 288},
         {1962, 288}},
        {"too narrow for both: the edge covering less of the grid",
         {0, 0, 1024, 768},
         {100, 100},
         {467, 100},
         {100, 100}},
        {"too narrow, the editor further right",
         {0, 0, 1024, 768},
         {300, 100},
         {0, 100},
         {300, 100}},
        {"the top kept on the screen", {0, 0, 1600, 900}, {100, 700}, {781, 494}, {100, 700}},
        {"the editor partly below the screen, moved left",
         {0, 0, 1280, 900},
         {300, 700},
         {723, 494},
         {42, 700}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QRect editor = editorSize.translated(row.editor);
        const TBesidePlacement place =
            PlaceBeside(editor, graph, row.available, grid.translated(row.editor));
        EXPECT_EQ(place.Window, row.window);
        EXPECT_EQ(place.Anchor, row.editorAfter);
        const QRect shown(place.Window, graph);
        EXPECT_TRUE(row.available.contains(shown));
        // Side by side wherever the screen is wide enough for both.
        if (row.available.width() >= editor.width() + graph.width()) {
            EXPECT_FALSE(shown.intersects(grid.translated(place.Anchor)));
        }
    }
}

} // namespace
