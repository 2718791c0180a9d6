// Shared pieces of the dialog tests: a calibration set in the real library,
// modal runs answered in place of the user, and the texts of a grid.
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"
#include "controls/stgrid.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace dialogtesting {

// A new set in the library, with the points a test puts into it.
class CalSet {
public:
    CalSet() {
        EXPECT_TRUE(Smsdk::Instance().Load());
        cal = Smsdk::Instance().LoadCALFile(nullptr);
    }
    ~CalSet() { Smsdk::Instance().Unload(cal); }
    CalSet(const CalSet &) = delete;
    CalSet &operator=(const CalSet &) = delete;

    void Put(const char *receiver, std::int32_t mode, std::initializer_list<std::uint64_t> points) {
        TDbmTable table{};
        table[0] = -100.0;
        for (const std::uint64_t fq : points)
            ASSERT_EQ(Smsdk::Instance().PutDBMs(cal, receiver, mode, fq, table.data()), -1);
    }

    std::int32_t cal = -1;
};

// Runs the form modally; `user` acts on the shown, active window. Answers the
// run's result (Cancel unless the form ended itself).
inline int RunModal(TstForm &form, const std::function<void(TstForm &)> &user) {
    const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &shown) {
        QApplication::setActiveWindow(&shown);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
        user(shown);
        return int(mrCancel);
    });
    const int result = form.ShowModal();
    TstForm::SetModalResponder(previous);
    return result;
}

// Column `col` of every row from `first` on.
inline std::vector<QString> Column(const TstGrid &grid, int col, int first = 0) {
    std::vector<QString> texts;
    for (int r = first; r < grid.RowCount(); ++r)
        texts.push_back(grid.Cells(col, r));
    return texts;
}

} // namespace dialogtesting
