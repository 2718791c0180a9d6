// TTableForm: the translation table editor. Created once at start-up, framed and sized; until
// its grid and commands come it keeps the table it is handed, so that the main window's edit
// command can run it.
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"

#include <QString>

#include <cstdint>
#include <functional>

class TTableForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 681;
    static constexpr int kHeight = 448;

    using TCopySource = std::function<bool(std::uint64_t frequency, TDbmTable &table)>;

    explicit TTableForm(QWidget *parent = nullptr);

    // A new table to edit, shown in the graph window as well.
    void LoadTable(const TDbmTable &values, const QString &caption);
    const TDbmTable &Table() const { return table_; }
    bool TableModified() const { return tableModified_; }
    void SetTableModified(bool value) { tableModified_ = value; }
    // The reader behind Copy.
    void SetCopySource(TCopySource read) { copySource_ = std::move(read); }

    // The live RAW value of the main window, marked in the table.
    void SetLiveRaw(std::uint8_t raw) { liveRaw_ = raw; }
    std::uint8_t LiveRaw() const { return liveRaw_; }

private:
    TDbmTable table_{};
    bool tableModified_ = false;
    TCopySource copySource_;
    std::uint8_t liveRaw_ = 0;
};

extern TTableForm *TableForm;
