// Shared pieces of the dialog tests: a calibration set in the real library,
// modal runs answered in place of the user, a grid's texts and colours.
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"
#include "controls/stgrid.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace dialogtesting {

// A new set in the library, with the points a test puts into it.
struct CalSet {
    CalSet() {
        EXPECT_TRUE(Smsdk::Instance().Load());
        cal = Smsdk::Instance().LoadCALFile(nullptr);
    }
    ~CalSet() { Smsdk::Instance().Unload(cal); }
    void Put(const char *receiver, std::int32_t mode, const std::vector<std::uint64_t> &points) {
        const TDbmTable table{-100.0};
        for (const std::uint64_t fq : points)
            ASSERT_EQ(Smsdk::Instance().PutDBMs(cal, receiver, mode, fq, table.data()), -1);
    }
    std::int32_t cal = -1;
};

// Runs `call`, an operation that runs a window modally, with `user` acting on
// the shown, active window; answers what the call answers (a run the window
// did not end itself is cancelled).
template <typename Call> auto WithUser(const std::function<void()> &user, Call call) {
    const TModalResponder previous = TstForm::SetModalResponder([&](TstForm &shown) {
        QApplication::setActiveWindow(&shown);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
        user();
        return int(mrCancel);
    });
    auto result = call();
    TstForm::SetModalResponder(previous);
    return result;
}

// Column `col` of every row from `first` on.
inline QStringList Column(const TstGrid &grid, int col, int first = 0) {
    QStringList texts;
    for (int r = first; r < grid.RowCount(); ++r)
        texts << grid.Cells(col, r);
    return texts;
}

// The colours painted in a cell of a grid.
inline std::set<QRgb> Colours(TstGrid &grid, int col, int row) {
    const QImage image = testsupport::Render(grid);
    const QRect cell = grid.CellRect(col, row);
    std::set<QRgb> seen;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            seen.insert(testsupport::Pixel(image, x, y));
    return seen;
}

} // namespace dialogtesting
