// The keyboard focus after a window or a box closes: back on the control of
// the window that opened it, that window in front and active; and a press in
// an inactive window activates it. Nothing of this comes from a window
// manager on the offscreen platform, as on a desktop without one.
#include "controls/stform.h"
#include "platform/messagebox.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool WaitFor(const std::function<bool()> &condition) {
    for (int waited = 0; !condition() && waited < 5000; waited += 10)
        QTest::qWait(10);
    return condition();
}

// A window with two edits, the second one focused, active.
struct Opener : TstForm {
    QLineEdit *first = new QLineEdit(ClientPanel);
    QLineEdit *second = new QLineEdit(ClientPanel);
    Opener() : TstForm(QStringLiteral("Opener")) {
        SetSize(300, 200);
        first->setGeometry(10, 30, 100, 20);
        second->setGeometry(10, 60, 100, 20);
        show();
        activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
        second->setFocus();
        EXPECT_TRUE(WaitFor([this] { return QApplication::focusWidget() == second; }));
    }
};

struct Dialog : TstForm {
    QLineEdit *edit = new QLineEdit(ClientPanel);
    Dialog() : TstForm(QStringLiteral("Dialog")) {
        SetSize(200, 100);
        edit->setGeometry(10, 30, 100, 20);
    }
};

// A modal dialog, a window of its own (as the graph window) and a message box
// each take the focus and close; the opener's control has it again.
TEST(FocusReturn, BackToTheOpenersControlWhenAWindowOrABoxCloses) {
    const auto takeFocus = [](Dialog &dialog) {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.edit->setFocus();
        EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == dialog.edit; }));
    };
    const std::function<void(Opener &)> rows[] = {
        [&](Opener &) {
            Dialog dialog;
            const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &) {
                takeFocus(dialog);
                return int(mrOk);
            });
            EXPECT_EQ(dialog.ShowModal(), mrOk);
            TstForm::SetModalResponder(previous);
        },
        [&](Opener &) {
            Dialog window;
            window.show();
            takeFocus(window);
            window.SysBtnClose->Click();
        },
        [](Opener &opener) {
            QTimer::singleShot(0, [] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    box->done(QMessageBox::Ok);
            });
            platform::ShowError(&opener, QStringLiteral("Some failure."));
        },
    };
    for (const auto &openAndClose : rows) {
        Opener opener;
        openAndClose(opener);
        EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == opener.second; }));
        EXPECT_EQ(QApplication::activeWindow(), &opener);
    }
}

// The user went on to another window before closing this one: the focus
// stays where the user put it.
TEST(FocusReturn, NotTakenFromAWindowTheUserWentTo) {
    Opener opener;
    Dialog window;
    window.show();
    Opener other;
    other.first->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == other.first; }));
    window.hide();
    QTest::qWait(50);
    EXPECT_EQ(QApplication::focusWidget(), other.first);
}

TEST(FocusReturn, APressInAnInactiveWindowActivatesIt) {
    Opener behind;
    Opener front;
    ASSERT_EQ(QApplication::activeWindow(), &front);
    QTest::mouseClick(behind.ClientPanel, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&behind));
}

} // namespace
