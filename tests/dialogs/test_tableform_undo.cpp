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
        QTest::keyClick(editor->T, key, modifiers);
    }
    const TDbmTable loaded = Table({{0, -120.0}, {5, -0.04}, {12, -73.3}, {100, -64.1}});
};

TEST_F(UndoTest, StepsUndoToTheLoadedTableAndRedo) {
    editor->LoadTable(loaded, QString());
    editor->SetTableModified(false);
    answers[editor] = [this] {
        QApplication::setActiveWindow(editor);
        EXPECT_EQ(editor->T->contextMenuPolicy(), Qt::ActionsContextMenu);
        EXPECT_EQ(editor->T->actions().mid(0, 2),
                  (QList<QAction *>{editor->UndoAction, editor->RedoAction}));
        AnswerRange(QStringLiteral("-50"), 10, 40);
        editor->stSpeedButton2->Click();
        EXPECT_EQ(editor->UndoAction->text(), QStringLiteral("Undo Fill RAW 10-40"));
        AnswerRange(QStringLiteral("5"), 0, 255);
        editor->stSpeedButton1->Click();
        EnterOn(100, QStringLiteral("-73.456"));
        EnterOn(5, QStringLiteral("-1.5"));
        const TDbmTable changed = editor->Table();

        for (int i = 0; i < 4; ++i)
            Key(Qt::Key_Z);
        EXPECT_TRUE(Same(editor->Table(), loaded));
        EXPECT_EQ(CellText(5), QStringLiteral("-0.0"));
        EXPECT_EQ(CellText(20), QStringLiteral("0.0"));
        EXPECT_FALSE(editor->TableModified()) << "back to the table loaded";
        EXPECT_FALSE(editor->UndoAction->isEnabled());
        EXPECT_EQ(editor->RedoAction->text(), QStringLiteral("Redo Fill RAW 10-40"));

        Key(Qt::Key_Y);
        Key(Qt::Key_Y);
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(editor->UndoAction->text(), QStringLiteral("Undo Edit RAW 100"));
        editor->RedoAction->trigger();
        EXPECT_TRUE(Same(editor->Table(), changed));
        EXPECT_EQ(CellText(5), QStringLiteral("-1.5"));
        EXPECT_TRUE(editor->TableModified());

        // A new change after an undo drops the steps that could be redone.
        Key(Qt::Key_Z);
        editor->stSpeedButton6->Click();
        EXPECT_FALSE(editor->RedoAction->isEnabled());
        EXPECT_EQ(editor->UndoStack()->count(), 4);
        return int(mrCancel);
    };
    editor->ShowModal();
    // The next run starts with an empty stack; LoadTable leaves the flag alone.
    editor->SetTableModified(true);
    editor->LoadTable(loaded, QString());
    EXPECT_TRUE(editor->TableModified());
    answers[editor] = [this] { return editor->UndoStack()->count(); };
    EXPECT_EQ(editor->ShowModal(), 0);
}

TEST_F(UndoTest, GraphDragIsOneStep) {
    editor->LoadTable(loaded, QString());
    editor->SetTableModified(false);
    emit GraphForm->DragStarted();
    emit GraphForm->DBMChanged(100, -73.4);
    EXPECT_EQ(editor->T->Cells(9, 5), QStringLiteral("-73.4")) << "shown while dragging";
    EXPECT_TRUE(editor->TableModified());
    emit GraphForm->DBMChanged(101, -72.0);
    emit GraphForm->DragFinished();
    EXPECT_EQ(editor->UndoAction->text(), QStringLiteral("Undo Graph RAW 100-101"));
    emit GraphForm->DBMChanged(7, -10.0); // a value set without a drag
    EXPECT_EQ(editor->UndoStack()->count(), 2);
    editor->Undo();
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), loaded));
    EXPECT_EQ(CellText(100), QStringLiteral("-64.1"));
    EXPECT_FALSE(editor->TableModified());
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
    EXPECT_EQ(editor->UndoAction->text(), QStringLiteral("Undo Import"));
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), swept));
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), loaded));
}

TEST_F(UndoTest, ACsvImportFromTheGridMenuIsOneStepForTheEditedPoint) {
    editor->LoadTable(loaded, QString());
    editor->SetPoint({"ZX-K740", -1, 7100000});
    QTemporaryDir dir;
    const QString path = dir.filePath("t.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("receiver,mode,frequency_hz,raw,dbm\r\nZX-K740,-1,7100000,100,-73.4\r\n");
    file.close();
    testsupport::FileDialogRecorder files({path});
    QAction *import = nullptr;
    for (QAction *action : editor->T->actions())
        if (action->text().startsWith(QStringLiteral("Import table from CSV"))) import = action;
    ASSERT_NE(import, nullptr);
    import->trigger();
    EXPECT_EQ(editor->Table()[100], -73.4);
    EXPECT_EQ(editor->Table()[12], 0.0) << "the file's table replaces the whole table";
    EXPECT_TRUE(editor->TableModified());
    EXPECT_EQ(editor->UndoAction->text(), QStringLiteral("Undo Import CSV"));
    editor->Undo();
    EXPECT_TRUE(Same(editor->Table(), loaded));
    EXPECT_FALSE(editor->TableModified());
}

} // namespace
