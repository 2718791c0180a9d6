// The add-frequency dialog: the overwrite question, the cut to whole tens of
// hertz (before the question), Enter in the field as OK.
#include "controls/myfrequencyedit.h"
#include "dialogs/u_addfqform.h"
#include "dialogtesting.h"
#include "support/testsupport.h"

#include <set>

namespace {

struct AddCase {
    const char *name;
    std::uint64_t tuned;
    std::set<std::uint64_t> points;
    QMessageBox::StandardButton answer;
    const char *typed; // typed into the field and ended with Enter; else OK is pressed
    int result;
    std::int64_t value;
    QString question; // empty: none asked
};

TEST(AddFqForm, OkChecksTheCutFrequencyAgainstThePoints) {
    const AddCase cases[] = {
        {"existing, No",
         145500000,
         {7000000, 145500000},
         QMessageBox::No,
         nullptr,
         mrCancel,
         145500000,
         "145.500000"},
        {"existing, Yes",
         145500000,
         {145500000},
         QMessageBox::Yes,
         nullptr,
         mrOk,
         145500000,
         "145.500000"},
        {"cut onto an existing point",
         2147000005,
         {2147000000},
         QMessageBox::Yes,
         nullptr,
         mrOk,
         2147000000,
         "2147.000000"},
        {"at the bound", 2147000000, {7000000}, QMessageBox::Yes, nullptr, mrOk, 2147000000, ""},
        {"above the bound", 2147483645, {}, QMessageBox::Yes, nullptr, mrOk, 2147483640, ""},
        {"Enter in the field", 7000000, {7000000}, QMessageBox::Yes, "14.2", mrOk, 14200000, ""},
    };
    for (const AddCase &c : cases) {
        SCOPED_TRACE(c.name);
        TAddFqForm form;
        form.Fq->SetMin(100000);
        form.Fq->SetMax(3000000000LL);
        std::vector<std::uint64_t> looked;
        form.SetPointExists([&](std::uint64_t hz) {
            looked.push_back(hz);
            return c.points.count(hz) > 0;
        });
        form.SetTunedFrequency(c.tuned);
        testsupport::MessageBoxRecorder boxes(c.answer);
        const int result = dialogtesting::RunModal(form, [&](TstForm &) {
            ASSERT_TRUE(form.Fq->hasFocus());
            EXPECT_EQ(form.Fq->Value(), std::int64_t(c.tuned));
            if (c.typed) {
                QTest::keyClicks(form.Fq, c.typed);
                QTest::keyClick(form.Fq, Qt::Key_Return);
            } else {
                QTest::mouseClick(form.BOK, Qt::LeftButton);
            }
            if (form.ModalResult() == mrNone) {
                EXPECT_TRUE(form.isVisible());
                EXPECT_TRUE(form.Fq->hasFocus());
            }
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(form.Fq->Value(), c.value);
        EXPECT_EQ(looked, std::vector<std::uint64_t>{std::uint64_t(c.value)});
        if (c.question.isEmpty()) {
            EXPECT_TRUE(boxes.boxes.empty());
        } else {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].text,
                      "Frequency " + c.question +
                          " MHz already exist in calibration table.\nOverwite?");
            EXPECT_EQ(boxes.boxes[0].title, "Message");
            EXPECT_EQ(boxes.boxes[0].icon, QMessageBox::Question);
            EXPECT_EQ(boxes.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }
}

TEST(AddFqForm, EveryShowingStartsFromTheTunedFrequencyAndCancelEndsTheRun) {
    TAddFqForm form;
    form.Fq->SetMax(3000000000LL);
    form.SetTunedFrequency(10000000);
    EXPECT_EQ(dialogtesting::RunModal(form,
                                      [&](TstForm &) {
                                          form.Fq->SetValue(20000000);
                                          QTest::mouseClick(form.BSelect, Qt::LeftButton);
                                      }),
              mrCancel);
    EXPECT_FALSE(form.isVisible());
    dialogtesting::RunModal(form, [&](TstForm &) { EXPECT_EQ(form.Fq->Value(), 10000000); });
}

} // namespace
