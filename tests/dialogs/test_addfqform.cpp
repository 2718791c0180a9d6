// The add-frequency dialog: the overwrite question, the cut to whole tens of
// hertz (before the question), Enter in the field as OK.
#include "controls/myfrequencyedit.h"
#include "dialogs/u_addfqform.h"
#include "dialogtesting.h"

namespace {

using testsupport::Child;

struct AddCase {
    const char *name;
    std::int64_t tuned;
    std::uint64_t point;
    QMessageBox::StandardButton answer;
    const char *typed; // typed into the field and ended with Enter; else OK is pressed
    std::optional<std::uint64_t> added;
    std::int64_t looked;
    QString question; // the frequency the question names; empty: none asked
};

TEST(AddFqForm, OkChecksTheCutFrequencyAgainstThePoints) {
    // clang-format off
    const AddCase cases[] = {
        {"existing, No", 145500000, 145500000, QMessageBox::No, nullptr, std::nullopt, 145500000, "145.500000"},
        {"existing, Yes", 145500000, 145500000, QMessageBox::Yes, nullptr, 145500000, 145500000, "145.500000"},
        {"cut onto a point", 2147000005, 2147000000, QMessageBox::Yes, nullptr, 2147000000, 2147000000, "2147.000000"},
        {"at the bound", 2147000000, 7000000, QMessageBox::Yes, nullptr, 2147000000, 2147000000, ""},
        {"above the bound", 2147483645, 7000000, QMessageBox::Yes, nullptr, 2147483640, 2147483640, ""},
        {"Enter in the field", 7000000, 7000000, QMessageBox::Yes, "14.2", 14200000, 14200000, ""},
    };
    // clang-format on
    // One dialog for all: every showing starts from the tuned frequency.
    TAddFqForm form;
    form.SetRange(0, 3000000000LL);
    auto &field = Child<TmyFrequencyEdit>(form, "Fq");
    for (const AddCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint64_t> looked;
        testsupport::MessageBoxRecorder boxes(c.answer);
        const std::optional<std::uint64_t> added = dialogtesting::WithUser(
            [&] {
                ASSERT_TRUE(field.hasFocus());
                ASSERT_EQ(field.Value(), c.tuned);
                if (c.typed) {
                    QTest::keyClicks(&field, c.typed);
                    QTest::keyClick(&field, Qt::Key_Return);
                } else {
                    testsupport::Click(Child(form, "BOK"));
                }
                EXPECT_TRUE(form.ModalResult() != mrNone || (form.isVisible() && field.hasFocus()));
            },
            [&] {
                return form.AskFrequency(std::uint64_t(c.tuned), [&](std::uint64_t hz) {
                    looked.push_back(hz);
                    return hz == c.point;
                });
            });
        EXPECT_EQ(added, c.added);
        EXPECT_EQ(looked, std::vector<std::uint64_t>{std::uint64_t(c.looked)});
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

TEST(AddFqForm, TheFieldKeepsToTheReceiversRange) {
    TAddFqForm form;
    form.SetRange(100000, 30000000);
    auto &field = Child<TmyFrequencyEdit>(form, "Fq");
    // "50" is above 30 MHz, so it reads as 50 kHz, below the lowest frequency.
    const auto added = dialogtesting::WithUser(
        [&] {
            QTest::keyClicks(&field, "50");
            QTest::keyClick(&field, Qt::Key_Return);
        },
        [&] { return form.AskFrequency(7000000, nullptr); });
    EXPECT_EQ(added, 100000u);
}

} // namespace
