// TmyScrollBar: the scroll bar beside every list, built from the library's
// own controls -- a sunken TstPanel as the track, two TstSpeedButtons with
// arrow glyphs and a TstSpeedButton as the thumb.
//
// The bar shows the part [Position, Position + Length] of the range
// [Min, Max]. Its setters keep Min <= Max, 0 <= Length <= Max - Min and
// Min <= Position <= Max - Length. OnPositionChange fires after every layout
// of the thumb (a move, a resize, a change of the range), so handlers read
// Position and must accept repeated calls. While the thumb is held with the
// mouse, writing Position is ignored, so a list scrolled by the drag does not
// fight the thumb.
#pragma once

#include "controls/stglobal.h"

#include <QWidget>

#include <cstdint>

class TstPanel;
class TstSpeedButton;

enum class TScrollBarKind { sbHorizontal, sbVertical };

class TmyScrollBar : public QWidget {
    Q_OBJECT

public:
    explicit TmyScrollBar(QWidget *parent = nullptr);
    ~TmyScrollBar() override;

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind value);

    std::int64_t Min() const { return min_; }
    void SetMin(std::int64_t value);
    std::int64_t Max() const { return max_; }
    void SetMax(std::int64_t value);
    // The start of the visible part; writing it is SetPosX.
    std::int64_t Position() const { return position_; }
    void SetPosition(std::int64_t value) { SetPosX(value); }
    // The size of the visible part, in the units of the range.
    std::int64_t Length() const { return length_; }
    void SetLength(std::int64_t value);

    // Bevel width of the track and of the three buttons, and the margin of
    // the buttons.
    int Bevel() const { return bevel_; }
    void SetBevel(int value);

    // Colours and shading of the parts; read back from the first arrow.
    TColor Color() const;
    void SetColor(TColor value);
    TColor DownColor() const;
    void SetDownColor(TColor value);
    TColor ColorArrow() const;
    void SetColorArrow(TColor value);
    TColor DownColorArrow() const;
    void SetDownColorArrow(TColor value);
    TColor ColorDisabled() const;
    void SetColorDisabled(TColor value);
    TColor ColorDisabledArrow() const;
    void SetColorDisabledArrow(TColor value);
    int ShadowOffset() const;
    void SetShadowOffset(int value);

    // Moves the visible part to p, limited to the range.
    void SetPos(std::int64_t p);
    // SetPos unless the thumb is held with the mouse.
    void SetPosX(std::int64_t p);
    void SetDelta(std::int64_t d);
    // Min = min, Max = max, the whole range visible; false (and nothing
    // changed) when max < min.
    bool SetRange(std::int64_t min, std::int64_t max);

    bool ThumbHeld() const { return thumbHeld_; }

    // The parts, for the windows' styling and for tests.
    TstPanel *Track() const { return track_; }
    TstSpeedButton *FirstArrow() const { return arrow1_; }
    TstSpeedButton *SecondArrow() const { return arrow2_; }
    TstSpeedButton *Thumb() const { return thumb_; }

signals:
    void OnPositionChange(TmyScrollBar *sender);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LayoutBar();
    bool PlaceParts();
    void LayoutThumb();
    bool Vertical() const { return kind_ == TScrollBarKind::sbVertical; }
    int ArrowLength() const;
    int TrackLength() const;
    void TrackPressed(const QPoint &pos);
    void ThumbMouseDown(Qt::MouseButton button, int x, int y);
    void ThumbMouseMove(Qt::MouseButtons buttons, int x, int y);
    void ThumbMouseUp(Qt::MouseButton button);

    TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
    std::int64_t min_ = 0;
    std::int64_t max_ = 100;
    std::int64_t position_ = 0;
    std::int64_t length_ = 20;
    int bevel_ = 3;

    bool thumbHeld_ = false;
    int grab_ = 0;

    TstPanel *track_ = nullptr;
    TstSpeedButton *arrow1_ = nullptr;
    TstSpeedButton *arrow2_ = nullptr;
    TstSpeedButton *thumb_ = nullptr;
};
