// The panel of every window: a TstCustomPanel with a caption drawn over its
// bevel and, with Enable4All, the enabling of its children in one step.
//
// The caption is drawn in the panel's font and in its palette's WindowText
// colour (the font colour), which children inherit like the font.
#pragma once

#include "controls/stcustompanel.h"

#include <QString>

class TstPanel : public TstCustomPanel, public TCaptioned {
    Q_OBJECT
public:
    // Caption, Alignment and Layout (centred by default).
    explicit TstPanel(QWidget *parent = nullptr);

    int Indent() const { return indent_; }
    void SetIndent(int value);

    bool Abbreviate() const { return abbreviate_; }
    void SetAbbreviate(bool value);

    bool Enable4All() const { return enable4All_; }
    void SetEnable4All(bool value) { enable4All_ = value; }

    // Enables or disables the panel and, with Enable4All, every direct child
    // whose tag is not negative; child TstPanels pass it on in turn.
    void SetEnabled(bool value);

    // The rectangle the caption is placed in.
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void CaptionChanged(bool text) override;
    int indent_ = 0;
    bool abbreviate_ = false;
    bool enable4All_ = true;
};
