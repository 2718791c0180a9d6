// What every control of the library has beside its own properties: the
// alignment within its parent (top, bottom, left, right, the rest, or none),
// the tag number, and the text placement enumerations that captions share.
//
// Align and Tag are carried as dynamic properties ("Align", "Tag") of the
// QWidget, so that any widget -- ours or a plain Qt one -- can be aligned in a
// panel or excluded from a panel's enabling by a negative tag.
//
// Alignment: a container (TstCustomPanel, TstForm) calls AlignControls() with
// its layout area whenever it is resized or receives QEvent::LayoutRequest.
// SetAlign() sends that request to the parent at once, and an aligned child
// that is resized, shown or hidden later sends it again, so that setting the
// height of a top-aligned child re-lays out its siblings immediately.
#pragma once

#include "controls/stglobal.h"

#include <QRect>
#include <QString>

class QWidget;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Horizontal placement of a caption.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
// Vertical placement of a caption.
enum class TTextLayout { tlTop, tlCenter, tlBottom };

void SetAlign(QWidget *control, TAlign align);
TAlign GetAlign(const QWidget *control);

// A control's tag number; 0 unless set.
void SetTag(QWidget *control, int tag);
int GetTag(const QWidget *control);

// Lays out the aligned direct children of `parent` inside `area`, as the
// toolkit does: top-aligned children first (in the order of their tops), then
// bottom, left and right ones, and a client-aligned child gets what is left.
// A child keeps its own extent across the alignment direction (the height of a
// top-aligned child); children hidden with hide() take no room. Children without
// alignment stay where they are.
void AlignControls(QWidget *parent, const QRect &area);

// Qt::AlignmentFlag equivalents of the caption placements.
int AlignmentFlags(TAlignment alignment, TTextLayout layout);

// The caption that a label and a panel share: its text and the text's
// horizontal and vertical placement. Every real change is told to the
// control through CaptionChanged, which repaints it (and lets a label that
// takes the size of its text resize first).
class TCaptioned {
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString &value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);

protected:
    TCaptioned(TAlignment alignment, TTextLayout layout) : alignment_(alignment), layout_(layout) {}
    ~TCaptioned() = default;
    // `text`: the text changed, else its placement.
    virtual void CaptionChanged(bool text) = 0;

private:
    QString caption_;
    TAlignment alignment_;
    TTextLayout layout_;
};

// The font colour of a control: its palette's WindowText colour, which the
// children inherit along with the font unless they set their own.
void SetFontColor(QWidget *control, TColor color);
QColor FontColor(const QWidget *control);
