// The "Frequencies" panel of the main window: the list of the frequency
// points that the open set holds for "ZX-K740" in the calibration mode, and
// the panel's commands Add, Add points (many at once), Edit, Delete, copy
// from another mode, Sweep and Verify.
//
// The points live in the point list model (one sorted vector of hertz),
// which the list F and the frequency-select dialog's list draw from; a
// refresh reads them from the document into the model. An empty list is one
// row of empty cells.
//
// It works on the controls of the panel (F, FSB, BEdit, BDelete, BSweep) and
// on the tuned-frequency field Fq, which the window creates and hands over,
// on the document and the receiver, and on the dialogs its commands run.
#pragma once

#include <QObject>

#include <cstdint>

class QPainter;
class QRect;
class TAddFqForm;
class TAddPointsForm;
class TCalDocument;
class TCopyForm;
class TMainFormServices;
class TmyFrequencyEdit;
class TmyScrollBar;
class TPointListModel;
class TProofCommands;
class TReceiverConnection;
class TstGrid;
class TstPanel;
class TstSpeedButton;
class TSweepForm;
class TTableForm;

// What the point list works on.
struct TPointListParts {
    TMainFormServices &Window;
    TCalDocument &Document;
    TReceiverConnection &Receiver;
    TPointListModel &Model;
    TAddFqForm &AddFq;
    TAddPointsForm &AddPoints;
    TTableForm &Table;
    TCopyForm &Copy;
    TSweepForm &Sweep;
    TstPanel &FsP;
    TstGrid &F;
    TmyScrollBar &FSB;
    TstSpeedButton &BEdit;
    TstSpeedButton &BDelete;
    TstSpeedButton &BSweep;
    // Verifies the points against the generator (as Sweep, enabled with it).
    TstSpeedButton &BVerify;
    TProofCommands &Proof;
    // The tuned frequency: setting it tunes the receiver; its range is the
    // receiver's.
    TmyFrequencyEdit &Fq;
};

class TPointList : public QObject {
    Q_OBJECT
public:
    // Hooks the grid's drawing, selection, double click and scrolling and
    // the scroll bar.
    explicit TPointList(const TPointListParts &parts);

    // Refills the model and the list from the set.
    void Refresh();
    // The list without a set: one empty row, Edit, Delete and Sweep
    // disabled, the scroll bar hidden.
    void Clear();

    // The panel's commands.
    void Add();
    // Many points at once, each added as Add adds one: a not-set table and
    // the set modified.
    void AddPoints();
    void Edit();
    void Delete();
    void CopyFromOtherMode();
    void Sweep();
    void Verify();

private:
    // The grid's and the scroll bar's events.
    void FDrawCell(QPainter &canvas, int col, int row, const QRect &rect, int state);
    void FSelectCell(int col, int row);
    void FDblClick();
    void FTopLeftChanged();
    void FSBPositionChange();

    // The mode code under which the set is read and written now.
    std::int32_t CalibrationMode() const;
    void Tune(std::uint64_t hz);
    void FitScrollBar();
    // Sweep and Verify need points and an open receiver.
    void UpdateSweep();
    // Tells that a frequency of another mode is outside the receiver's
    // range and lands on `bound`.
    void ShowAligned(std::uint64_t from, std::uint64_t bound, bool above);

    TPointListParts parts_;
    bool refreshing_ = false;
};
