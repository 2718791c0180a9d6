// TTableForm: the translation table editor, the modal window in which the
// user edits the 256 dBm values of one frequency point: single values (double
// click or Enter on a cell), Fill and Offset over a RAW range, Interpolate
// over the gaps, Copy from another point, Sweep from a signal generator, and
// the graph window beside it.
//
// The editor table and the texts of the grid's dBm cells are held side by
// side: a cell shows its value with one decimal, the table keeps the double.
// The grid T has 11 column pairs: the even column of a pair holds RAW labels,
// the odd one the dBm values of 24 consecutive RAW values, below one header
// row. Only the dBm cells of RAW 0..255 can be selected.
//
// Every change made in a run is one step on the undo stack: Ctrl+Z undoes,
// Ctrl+Y and Ctrl+Shift+Z redo, and the grid's context menu holds the actions
// "UndoAction" and "RedoAction" with the step's name ("Undo Fill RAW 10-40").
// The stack is emptied by LoadTable and at the start of every run; undoing
// back to where it started clears the table modified flag again.
//
// Windows that add commands of their own make each of them one step with
// ChangeTable (the whole table at once) or with BeginChange, WriteValue ...
// EndChange (values shown one by one, as a graph drag does).
//
// The editor runs the windows it is handed at construction: the graph window
// (which reaches the editor only through its signals: DBMChanged writes the
// value into table and cell, DragStarted and DragFinished make one step of a
// whole drag), the value dialog, the fill and offset dialog, the
// frequency-select dialog and the sweep window.
#pragma once

#include "calibration/calcsv.h"
#include "calibration/smsdk.h"
#include "controls/stform.h"
#include "dialogs/tableundo.h"

#include <QRawFont>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QUndoStack;
class TEditValForm;
class TFillForm;
class TFSelectForm;
class TGraphForm;
class TstGrid;
class TSweepForm;
class TVerifyForm;

// The windows the editor runs; they outlive it.
struct TTableFormWindows {
    TGraphForm &Graph;
    TEditValForm &Value;
    TFillForm &Fill;
    TFSelectForm &Select;
    TSweepForm &Sweep;
    TVerifyForm &Verify;
};

class TTableForm : public TstForm, public TTableUndoTarget {
    Q_OBJECT
public:
    // RAW values per column pair: the grid's rows less its header row.
    static constexpr int kPairRows = 24;

    // Reads another point's table for Copy: true with `table` filled, or
    // false once the reason has been shown.
    using TCopySource = std::function<bool(std::uint64_t frequency, TDbmTable &table)>;

    // What an edit that ended with OK hands back: the table, and whether the
    // run changed it.
    struct TEditResult {
        TDbmTable Table;
        bool Modified = false;
    };

    explicit TTableForm(const TTableFormWindows &windows, QWidget *parent = nullptr);
    ~TTableForm() override;

    // The RAW value of a cell (256..263 for the empty cells of the last pair),
    // and the dBm cell of a RAW value; its label is in column - 1.
    static int CellToRaw(int column, int row);
    static void RawToCell(int raw, int &column, int &row);

    // The edit of one point: the title "Translation table for frequency
    // <f> (tuned)", the table loaded as the curve named <f>, the modified
    // flag cleared, Copy reading through `copy`, Sweep and the CSV files
    // naming `point`; then the modal run. The edited table after OK, nothing
    // after Cancel.
    std::optional<TEditResult> Edit(const TCsvPoint &point, const TDbmTable &table,
                                    TCopySource copy);

    // A new table to edit: copies the values, writes every dBm cell, keeps the
    // caption as the curve's name and hands both to the graph window. Empties
    // the undo stack; the table modified flag stays as it is.
    void LoadTable(const TDbmTable &values, const QString &caption);
    const TDbmTable &Table() const override { return table_; }
    bool TableModified() const { return tableModified_; }

    // The modal run, with an empty undo stack.
    int ShowModal();

    // Undo and redo.
    // Makes `values` the table, as one step named `stepName`.
    void ChangeTable(const TDbmTable &values, const QString &stepName);
    // A step whose values are written one by one: BeginChange notes the
    // table, WriteValue shows each value at once (cell, table and graph), and
    // EndChange makes the step (with a name given here, or that of
    // BeginChange). A WriteValue outside such a pair is a step of its own. A
    // change still open when the editor is hidden or an undo comes is ended
    // first.
    void BeginChange(const QString &stepName);
    void WriteValue(int raw, double value);
    void EndChange(const QString &stepName = QString());
    void Undo();
    void Redo();

public slots:
    // The live level's RAW reading: moves the marker and repaints the old and
    // the new label cell only; an equal reading does nothing.
    void SetLiveRaw(std::uint8_t raw);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The grid's handlers.
    void TDrawCell(TstGrid *sender, QPainter &canvas, int column, int row, const QRect &rect,
                   int state);
    void TSelectCell(TstGrid *sender, int column, int row, bool &canSelect);
    void TDblClick(TstGrid *sender);
    void TKeyPress(TstGrid *sender, QChar &key);

    // The buttons' handlers.
    void stSpeedButton6Click(); // Interpolate
    void stSpeedButton7Click(); // Copy
    void stSpeedButton1Click(); // Offset
    void stSpeedButton2Click(); // Fill
    void stSpeedButton4Click(); // Graph
    void BSweepClick();         // automatic calibration of the point
    void BVerifyClick();        // the point as stored, against the generator
    void stSpeedButton5Click(); // OK
    void stSpeedButton3Click(); // Cancel

    void ApplyTable(const TDbmTable &table) override;
    // One value into table and cell, and into the curve unless it came from
    // there; a step named `stepVerb` RAW n unless a change is open.
    void PutValue(int raw, double value, const QString &stepVerb, bool fromGraph);
    // One value through the value dialog.
    void EditValue(int raw);
    void ShowValue(int raw);
    void RepaintCell(int column, int row);
    void ResetUndo();
    void GraphDragFinished();
    void PlaceGraphBeside();
    // Fill or Offset over the range the fill dialog answers.
    void ChangeRange(bool fillRole);

    TTableFormWindows windows_;
    TstGrid *T = nullptr;
    QAction *UndoAction = nullptr;
    QAction *RedoAction = nullptr;

    QRawFont cellFont_;
    QRawFont headerFont_;
    TDbmTable table_{};
    QString caption_;
    bool tableModified_ = false;
    std::uint8_t liveRaw_ = 0;
    TCopySource copySource_;
    TCsvPoint point_;

    QUndoStack *undo_ = nullptr;
    bool resetting_ = false;
    bool changing_ = false;
    TDbmTable changeBefore_{};
    QString changeName_;
};
