// The add-frequency dialog: the overwrite question, the cut to whole tens of
// hertz (before the question), Enter in the field as OK.
#include "controls/myfrequencyedit.h"
#include "dialogs/u_addfqform.h"
#include "dialogtesting.h"

namespace {

struct AddCase {
    const char *name;
    std::int64_t tuned;
    std::uint64_t point;
    QMessageBox::StandardButton answer;
    const char *typed; // typed into the field and ended with Enter; else OK is pressed
    int result;
    std::int64_t value;
    QString question; // the frequency the question names; empty: none asked
};

TEST(AddFqForm, OkChecksTheCutFrequencyAgainstThePoints) {
    // clang-format off
    const AddCase cases[] = {
        {"existing, No", 145500000, 145500000, QMessageBox::No, nullptr, mrCancel, 145500000, "145.500000"},
        {"existing, Yes", 145500000, 145500000, QMessageBox::Yes, nullptr, mrOk, 145500000, "145.500000"},
        {"cut onto a point", 2147000005, 2147000000, QMessageBox::Yes, nullptr, mrOk, 2147000000, "2147.000000"},
        {"at the bound", 2147000000, 7000000, QMessageBox::Yes, nullptr, mrOk, 2147000000, ""},
        {"above the bound", 2147483645, 7000000, QMessageBox::Yes, nullptr, mrOk, 2147483640, ""},
        {"Enter in the field", 7000000, 7000000, QMessageBox::Yes, "14.2", mrOk, 14200000, ""},
    };
    // clang-format on
    // One dialog for all: every showing starts from the tuned frequency.
    TAddFqForm form;
    form.Fq->SetMax(3000000000LL);
    for (const AddCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint64_t> looked;
        form.SetPointExists([&](std::uint64_t hz) {
            looked.push_back(hz);
            return hz == c.point;
        });
        form.SetTunedFrequency(std::uint64_t(c.tuned));
        testsupport::MessageBoxRecorder boxes(c.answer);
        const int result = dialogtesting::RunModal(form, [&] {
            ASSERT_TRUE(form.Fq->hasFocus());
            ASSERT_EQ(form.Fq->Value(), c.tuned);
            if (c.typed) {
                QTest::keyClicks(form.Fq, c.typed);
                QTest::keyClick(form.Fq, Qt::Key_Return);
            } else {
                QTest::mouseClick(form.BOK, Qt::LeftButton);
            }
            EXPECT_TRUE(form.ModalResult() != mrNone || (form.isVisible() && form.Fq->hasFocus()));
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(form.Fq->Value(), c.value);
        EXPECT_EQ(looked, std::vector<std::uint64_t>{std::uint64_t(c.value)});
        ASSERT_EQ(boxes.boxes.size(), c.question.isEmpty() ? 0u : 1u);
        for (const auto &box : boxes.boxes) {
            EXPECT_EQ(box.text, "Frequency " + c.question +
                                    " MHz already exist in calibration table.\nOverwite?");
            EXPECT_EQ(box.title, "Message");
            EXPECT_EQ(box.icon, QMessageBox::Question);
            EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }
}

} // namespace
