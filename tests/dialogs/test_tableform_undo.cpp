#include "tableformtesting.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

using namespace tableformtesting;

namespace {

class UndoTest : public EditorTest {
protected:
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(&Grid(), key, modifiers);
    }
    // The steps there are to undo: Ctrl+Z until Undo is disabled, then
    // Ctrl+Y as often, so the table is as it was.
    int UndoSteps() {
        QApplication::setActiveWindow(editor.get());
        int steps = 0;
        for (; Undo().isEnabled() && steps < 100; ++steps)
            Key(Qt::Key_Z);
        for (int i = 0; i < steps; ++i)
            Key(Qt::Key_Y);
        return steps;
    }
    const TDbmTable loaded = Table({{0, -120.0}, {5, -0.04}, {12, -73.3}, {100, -64.1}});
};

TEST_F(UndoTest, StepsUndoToTheLoadedTableAndRedo) {
    answers[editor.get()] = [this] {
        QApplication::setActiveWindow(editor.get());
        EXPECT_EQ(Grid().contextMenuPolicy(), Qt::ActionsContextMenu);
        EXPECT_EQ(Grid().actions().mid(0, 2), (QList<QAction *>{&Undo(), &Redo()}));
        AnswerRange(QStringLiteral("-50"), 10, 40);
        Press("stSpeedButton2");
        EXPECT_EQ(Undo().text(), QStringLiteral("Undo Fill RAW 10-40"));
        AnswerRange(QStringLiteral("5"), 0, 255);
        Press("stSpeedButton1");
        EnterOn(100, QStringLiteral("-73.456"));
        EnterOn(5, QStringLiteral("-1.5"));
        const TDbmTable changed = editor->Table();

        for (int i = 0; i < 4; ++i)
            Key(Qt::Key_Z);
        EXPECT_TRUE(Same(editor->Table(), loaded));
        EXPECT_EQ(CellText(5), QStringLiteral("-0.0"));
        EXPECT_EQ(CellText(20), QStringLiteral("0.0"));
        EXPECT_FALSE(editor->TableModified()) << "back to the table loaded";
        EXPECT_FALSE(Undo().isEnabled());
        EXPECT_EQ(Redo().text(), QStringLiteral("Redo Fill RAW 10-40"));

        Key(Qt::Key_Y);
        Key(Qt::Key_Y);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Undo().text(), QStringLiteral("Undo Edit RAW 100"));
        Redo().trigger();
        EXPECT_TRUE(Same(editor->Table(), changed));
        EXPECT_EQ(CellText(5), QStringLiteral("-1.5"));
        EXPECT_TRUE(editor->TableModified());

        // A new change after an undo drops the steps that could be redone.
        Key(Qt::Key_Z);
        Press("stSpeedButton6");
        EXPECT_FALSE(Redo().isEnabled());
        EXPECT_EQ(UndoSteps(), 4);
        return int(mrCancel);
    };
    EXPECT_EQ(editor->Edit({"ZX-K740", -1, 7100000}, loaded, nullptr), std::nullopt);
    // The next run starts with an empty stack.
    answers[editor.get()] = [this] { return UndoSteps() == 0 ? int(mrOk) : int(mrCancel); };
    EXPECT_EQ(editor->ShowModal(), mrOk);
}

TEST_F(UndoTest, GraphDragIsOneStep) {
    answers[editor.get()] = [this] {
        emit graph.DragStarted();
        emit graph.DBMChanged(100, -73.4);
        EXPECT_EQ(Grid().Cells(9, 5), QStringLiteral("-73.4")) << "shown while dragging";
        EXPECT_TRUE(editor->TableModified());
        emit graph.DBMChanged(101, -72.0);
        emit graph.DragFinished();
        EXPECT_EQ(Undo().text(), QStringLiteral("Undo Graph RAW 100-101"));
        emit graph.DBMChanged(7, -10.0); // a value set without a drag
        EXPECT_EQ(UndoSteps(), 2);
        editor->Undo();
        editor->Undo();
        EXPECT_TRUE(Same(editor->Table(), loaded));
        EXPECT_EQ(CellText(100), QStringLiteral("-64.1"));
        EXPECT_FALSE(editor->TableModified());
        return int(mrCancel);
    };
    editor->Edit({"ZX-K740", -1, 7100000}, loaded, nullptr);
}

TEST_F(UndoTest, CommandsOfOtherWindowsAreSteps) {
    editor->LoadTable(loaded, QString());
    TDbmTable swept = loaded;
    swept.fill(-90.0);
    editor->ChangeTable(swept, QStringLiteral("Sweep"));
    editor->show();
    editor->BeginChange(QStringLiteral("Import"));
    editor->WriteValue(3, -30.0);
    editor->WriteValue(4, -40.0);
    EXPECT_EQ(CellText(4), QStringLiteral("-40.0"));
    editor->hide(); // ends the change
    EXPECT_EQ(Undo().text(), QStringLiteral("Undo Import"));
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), swept));
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), loaded));
}

TEST_F(UndoTest, ACsvImportFromTheGridMenuIsOneStepForTheEditedPoint) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("receiver,mode,frequency_hz,raw,dbm\r\nZX-K740,-1,7100000,100,-73.4\r\n");
    file.close();
    testsupport::FileDialogRecorder files({path});
    answers[editor.get()] = [this] {
        QAction *import = nullptr;
        for (QAction *action : Grid().actions())
            if (action->text().startsWith(QStringLiteral("Import table from CSV"))) import = action;
        EXPECT_NE(import, nullptr);
        if (!import) return int(mrCancel);
        import->trigger();
        EXPECT_EQ(editor->Table()[100], -73.4);
        EXPECT_EQ(editor->Table()[12], 0.0) << "the file's table replaces the whole table";
        EXPECT_TRUE(editor->TableModified());
        EXPECT_EQ(Undo().text(), QStringLiteral("Undo Import CSV"));
        editor->Undo();
        EXPECT_TRUE(Same(editor->Table(), loaded));
        EXPECT_FALSE(editor->TableModified());
        return int(mrCancel);
    };
    editor->Edit({"ZX-K740", -1, 7100000}, loaded, nullptr);
}

} // namespace
