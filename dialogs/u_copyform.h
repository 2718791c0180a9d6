// TCopyForm: the table copy dialog. It lists the receiver names of the
// model-name table that the open set holds and the modes of the selected
// one, and hands back the receiver name and mode code chosen with Copy. The
// main window does the copying; the dialog changes nothing in the set.
#pragma once

#include "controls/stform.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPainter;
class QShowEvent;
class TmyScrollBar;
class TstGrid;

// The source of a copy: a receiver name of the set and one of its modes.
struct TCopyChoice {
    QString Receiver;
    std::int32_t Mode = 0;
};

class TCopyForm : public TstForm {
    Q_OBJECT
public:
    explicit TCopyForm(QWidget *parent = nullptr);

    // The modal run over the set `cal` (read through Smsdk::Instance()): the
    // receiver name and mode chosen with Copy, or nothing after Cancel.
    std::optional<TCopyChoice> AskSource(std::int32_t cal);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BCopyClick();
    // Both grids' cells.
    void MDrawCell(TstGrid *sender, QPainter &canvas, int col, int row, const QRect &rect,
                   int state);
    void DSelectCell(TstGrid *sender, int col, int row, bool &canSelect);
    void DTopLeftChanged(TstGrid *sender);
    void MTopLeftChanged(TstGrid *sender);
    void DSBPositionChange(TmyScrollBar *sender);
    void MSBPositionChange(TmyScrollBar *sender);
    // Lists the modes of the receiver in row `row` of D.
    void ListModes(int row);
    void ClearModes();

    TstSpeedButton *BCopy = nullptr;
    TstGrid *D = nullptr; // the receivers
    TmyScrollBar *DSB = nullptr;
    TstGrid *M = nullptr; // the modes of the receiver chosen in D
    TmyScrollBar *MSB = nullptr;

    std::int32_t cal_ = -1;
    int receiverCount_ = 0;
    int modeCount_ = 0;
    // The code of each row of M.
    std::vector<std::int32_t> modeCodes_;
    TCopyChoice chosen_;
};
