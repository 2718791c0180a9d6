// What the tests of the file commands and the point list share: the demo
// receiver open, the windows the commands run, the file dialogs and modal
// runs answered, and the calibration library's call log.
#pragma once

#include "controls/stalignedit.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_calinfoform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"
#include "mainformtesting.h"
#include "platform/filedialog.h"

#include <deque>
#include <functional>

namespace documenttesting {

using namespace mainformtesting;
using testsupport::Child;

// Enters a value into the editor's cell of `raw` through the value dialog,
// which the responder answers with `text`.
inline void EditValue(TstForm &editor, int raw, const QString &text) {
    int column, row;
    TTableForm::RawToCell(raw, column, row);
    auto &grid = Child<TstGrid>(editor, "T");
    grid.SetSelection(column, row);
    const TModalResponder outer = TstForm::SetModalResponder([text](TstForm &dialog) {
        auto &field = Child<TstAlignEdit>(dialog, "V");
        field.setText(text);
        QTest::keyClick(&field, Qt::Key_Return);
        return int(mrCancel);
    });
    QTest::keyClick(&grid, Qt::Key_Return);
    TstForm::SetModalResponder(outer);
}

inline std::string SdkCalls() {
    auto log = Export<int32_t (*)(char *, int32_t)>("smetersdk.dll", "SmsdkTestCallLog");
    std::string text(std::size_t(log(nullptr, 0)) + 1, '\0');
    log(text.data(), int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
}
inline void RecordSdkCalls(bool on) {
    Export<void (*)(int32_t)>("smetersdk.dll", "SmsdkTestRecordCalls")(on ? 1 : 0);
}

class DocumentTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        previousFiles_ = platform::SetFileDialogResponder([this](const auto &request) {
            fileRequests.push_back(request);
            if (fileAnswers.empty()) return QString();
            const QString answer = fileAnswers.front();
            fileAnswers.pop_front();
            return answer;
        });
        previousModal_ = TstForm::SetModalResponder(
            [this](TstForm &window) { return modal ? modal(window) : int(mrCancel); });
    }
    void TearDown() override {
        RecordSdkCalls(false);
        TstForm::SetModalResponder(std::move(previousModal_));
        platform::SetFileDialogResponder(std::move(previousFiles_));
        MainWindowTest::TearDown();
    }

    // Each test runs in a process of its own; a test that starts again closes
    // the receiver first, as the simulated radio opens a receiver once.
    TMainForm &OpenDemo() {
        if (form) {
            Receiver().Close();
            form.reset();
        }
        TMainForm &w = Start();
        Open();
        EXPECT_GT(Receiver().Handle(), 0)
            << (boxes.boxes.empty() ? QString() : boxes.boxes[0].text).toStdString();
        return w;
    }
    static void Click(QWidget *button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
    // A click on a button of the main window.
    void Press(const char *name) { Click(&Control(name)); }
    void New() { Press("stSpeedButton3"); }
    QString Path(const QString &name) const { return temp.filePath(name); }

    // The points written straight into the open set, shown in the list: the
    // set is saved aside as it is and opened again with the Open command.
    void ShowPoints() {
        const QString path = Path(QStringLiteral("points-%1.cal").arg(++shown_));
        ASSERT_EQ(
            Smsdk::Instance().SaveCALFile(Document().Handle(), QFile::encodeName(path).constData()),
            SMS_OK);
        fileAnswers.push_back(path);
        Press("stSpeedButton4");
    }

    // A point written straight into the open set.
    void Put(std::int32_t mode, std::uint64_t hz, double value = 0) {
        TDbmTable table;
        table.fill(value);
        ASSERT_EQ(Smsdk::Instance().PutDBMs(Document().Handle(), Smsdk::kReceiverName, mode, hz,
                                            table.data()),
                  SMS_OK);
    }
    double Value(std::int32_t mode, std::uint64_t hz, std::uint8_t raw = 0) {
        return Document().Dbm(mode, hz, raw).value_or(999);
    }
    // Adds a point through Add and the add-frequency dialog.
    void Add(std::uint64_t hz) {
        modal = [hz](TstForm &window) {
            if (!qobject_cast<TAddFqForm *>(&window)) return int(mrCancel);
            auto &field = testsupport::Child<TmyFrequencyEdit>(window, "Fq");
            field.SetValue(std::int64_t(hz));
            testsupport::Click(testsupport::Child(window, "BOK"));
            return window.ModalResult();
        };
        Press("stSpeedButton8");
        modal = nullptr;
    }
    std::vector<QString> Rows() {
        const auto &list = Control<TstGrid>("F");
        std::vector<QString> rows;
        for (int row = 0; row < list.RowCount(); ++row)
            rows.push_back(list.Cells(0, row));
        return rows;
    }
    std::vector<QString> BoxTexts() const {
        std::vector<QString> texts;
        for (const auto &box : boxes.boxes)
            texts.push_back(box.text);
        return texts;
    }

    std::deque<QString> fileAnswers;
    std::vector<platform::FileDialogRequest> fileRequests;
    std::function<int(TstForm &)> modal;

private:
    int shown_ = 0;
    platform::FileDialogResponder previousFiles_;
    TModalResponder previousModal_;
};

} // namespace documenttesting
