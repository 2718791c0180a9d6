// The table editor with the windows it runs, created as the program creates
// them, and a responder that answers each modal run with the step a test set
// for that window.
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

#include <functional>
#include <map>
#include <ostream>

// Texts in the failure messages of the editor's tests.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tableformtesting {

class EditorTest : public ::testing::Test {
protected:
    using Answer = std::function<int()>;

    EditorTest() {
        GraphForm = new TGraphForm();
        EditValForm = new TEditValForm();
        FillForm = new TFillForm();
        FSelectForm = new TFSelectForm();
        TableForm = new TTableForm();
        editor = TableForm;
        previous_ = TstForm::SetModalResponder([this](TstForm &form) {
            ++runs[&form];
            const auto answer = answers.find(&form);
            return answer == answers.end() ? int(mrCancel) : answer->second();
        });
    }
    ~EditorTest() override {
        TstForm::SetModalResponder(std::move(previous_));
        delete TableForm;
        delete FSelectForm;
        delete FillForm;
        delete EditValForm;
        delete GraphForm;
        TableForm = nullptr;
        FSelectForm = nullptr;
        FillForm = nullptr;
        EditValForm = nullptr;
        GraphForm = nullptr;
    }

    // The value dialog answered with `text` and Enter (or the OK button).
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
    // The fill and offset dialog answered with a value and a range.
    void AnswerRange(const QString &value, int from, int to) {
        answers[FillForm] = [value, from, to] {
            FillForm->V->setText(value);
            FillForm->From->SetValue(from);
            FillForm->To->SetValue(to);
            QTest::mouseClick(FillForm->BOK, Qt::LeftButton);
            return int(mrCancel);
        };
    }
    // Double-clicks the cell (column, row) of the grid where the pointer is.
    void DoubleClick(int column, int row) {
        const QPoint at = editor->T->CellRect(column, row).center();
        QCursor::setPos(editor->T->mapToGlobal(at));
        QTest::mouseDClick(editor->T, Qt::LeftButton, {}, at);
    }
    // Selects the dBm cell of raw and presses Enter.
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

    TTableForm *editor = nullptr;
    std::map<TstForm *, Answer> answers;
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

} // namespace tableformtesting
