// The table editor with the windows it runs, created as the program creates
// them, and a responder that answers each modal run as the test set it for
// that window (Cancel when not set).
#pragma once

#include "controls/myintedit.h"
#include "controls/stalignedit.h"
#include "controls/stgrid.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"
#include "support/testsupport.h"

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

// A window in its global for the life of a test.
template <typename Form> struct Window {
    explicit Window(Form *&global) : global(global) { global = new Form(); }
    ~Window() {
        delete global;
        global = nullptr;
    }
    Form *&global;
};

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
        answers[EditValForm] = [text, enter] {
            EditValForm->V->setText(text);
            if (enter)
                QTest::keyClick(EditValForm->V, Qt::Key_Return);
            else
                QTest::mouseClick(EditValForm->BOK, Qt::LeftButton);
            return int(mrCancel); // unless OK was accepted
        };
    }
    void AnswerRange(const QString &value, int from, int to) {
        answers[FillForm] = [value, from, to] {
            FillForm->V->setText(value);
            FillForm->From->SetValue(from);
            FillForm->To->SetValue(to);
            QTest::mouseClick(FillForm->BOK, Qt::LeftButton);
            return int(mrCancel);
        };
    }
    // A double click on a cell, with the pointer on it.
    void DoubleClick(int column, int row) {
        const QPoint at = editor->T->CellRect(column, row).center();
        QCursor::setPos(editor->T->mapToGlobal(at));
        QTest::mouseDClick(editor->T, Qt::LeftButton, {}, at);
    }
    // Enter on the dBm cell of raw, the value dialog answered with `text`.
    void EnterOn(int raw, const QString &text) {
        int column, row;
        TTableForm::RawToCell(raw, column, row);
        editor->T->SetSelection(column, row);
        AnswerValue(text);
        QTest::keyClick(editor->T, Qt::Key_Return);
    }
    QString CellText(int raw) const {
        int column, row;
        TTableForm::RawToCell(raw, column, row);
        return editor->T->Cells(column, row);
    }
    void ShowEditor() {
        editor->show();
        QApplication::setActiveWindow(editor);
        editor->T->setFocus();
    }

    Window<TGraphForm> graph{GraphForm};
    Window<TEditValForm> value{EditValForm};
    Window<TFillForm> fill{FillForm};
    Window<TFSelectForm> select{FSelectForm};
    Window<TTableForm> table{TableForm};
    TTableForm *editor = TableForm;
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
