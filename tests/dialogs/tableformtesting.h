// The table editor with the windows it runs, created as the program creates
// them, and a responder that answers each modal run as the test set it for
// that window (Cancel when not set).
#pragma once

#include "controls/myintedit.h"
#include "controls/stalignedit.h"
#include "controls/stgrid.h"
#include "dialogs/pointlistmodel.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tableformtesting {

using testsupport::Child;
using testsupport::Click;

class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        previous_ = TstForm::SetModalResponder([this](TstForm &form) {
            ++runs[&form];
            return answers.count(&form) ? answers[&form]() : int(mrCancel);
        });
    }
    ~EditorTest() override { TstForm::SetModalResponder(std::move(previous_)); }

    // The value dialog answered with `text` and Enter or the OK button.
    void AnswerValue(const QString &text, bool enter = true) {
        answers[&value] = [this, text, enter] {
            auto &field = Child<TstAlignEdit>(value, "V");
            field.setText(text);
            if (enter)
                QTest::keyClick(&field, Qt::Key_Return);
            else
                Click(Child(value, "BOK"));
            return int(mrCancel); // unless OK was accepted
        };
    }
    // The fill dialog answered with a value and a range typed in and OK.
    void AnswerRange(const QString &text, int from, int to) {
        answers[&fill] = [this, text, from, to] {
            Child<TstAlignEdit>(fill, "V").setText(text);
            Child<TmyIntEdit>(fill, "From").setText(QString::number(from));
            Child<TmyIntEdit>(fill, "To").setText(QString::number(to));
            Click(Child(fill, "BOK"));
            return int(mrCancel);
        };
    }
    TstGrid &Grid() { return Child<TstGrid>(*editor, "T"); }
    // A double click on a cell, with the pointer on it.
    void DoubleClick(int column, int row) {
        const QPoint at = Grid().CellRect(column, row).center();
        QCursor::setPos(Grid().mapToGlobal(at));
        QTest::mouseDClick(&Grid(), Qt::LeftButton, {}, at);
    }
    // Enter on the dBm cell of raw, the value dialog answered with `text`.
    void EnterOn(int raw, const QString &text) {
        int column, row;
        TTableForm::RawToCell(raw, column, row);
        Grid().SetSelection(column, row);
        AnswerValue(text);
        QTest::keyClick(&Grid(), Qt::Key_Return);
    }
    QString CellText(int raw) {
        int column, row;
        TTableForm::RawToCell(raw, column, row);
        return Grid().Cells(column, row);
    }
    void ShowEditor() {
        editor->show();
        QApplication::setActiveWindow(editor.get());
        Grid().setFocus();
    }
    // The editor's buttons, by caption.
    void Press(const char *name) { Click(Child(*editor, name)); }
    QAction &Undo() { return Child<QAction>(*editor, "UndoAction"); }
    QAction &Redo() { return Child<QAction>(*editor, "RedoAction"); }

    testsupport::TemporaryRegistry registry; // the sweep window reads its settings
    TPointListModel points;
    TGraphForm graph;
    TEditValForm value;
    TFillForm fill;
    TFSelectForm select{points};
    TSweepForm sweep;
    std::unique_ptr<TTableForm> editor =
        std::make_unique<TTableForm>(TTableFormWindows{graph, value, fill, select, sweep});
    std::map<TstForm *, std::function<int()>> answers;
    std::map<TstForm *, int> runs;
    testsupport::MessageBoxRecorder boxes;

private:
    TModalResponder previous_;
};

inline TDbmTable Table(std::initializer_list<std::pair<int, double>> entries) {
    TDbmTable t{};
    for (const auto &[raw, value] : entries)
        t[std::size_t(raw)] = value;
    return t;
}

inline bool Same(const TDbmTable &a, const TDbmTable &b) {
    return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

} // namespace tableformtesting
