// TGraphForm: the graph window beside the translation table editor. It shows
// the table being edited as the one lime curve of its graph and lets the user
// set values with the mouse. It knows nothing of the editor: every value set
// by the mouse is reported by DBMChanged, and the editor, which connects it,
// writes its table, its cell and its modified flag. The window is created once
// and only hidden between uses ("Close" and the close cross hide it).
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"

#include <QString>

class TDBMSet;
class TSCalGraph;

class TGraphForm : public TstForm {
    Q_OBJECT
public:
    explicit TGraphForm(QWidget *parent = nullptr);

    // Shows `values` as the curve named `caption`, with one redraw.
    void SetTable(const TDbmTable &values, const QString &caption);
    // Sets one value of the curve and draws it; reports nothing.
    void SetValue(int raw, double value);

signals:
    // After the user set the value at `raw` with the mouse; `value` is already
    // within -140..0 and stored in the curve.
    void DBMChanged(int raw, double value);
    // At the left press that starts a drag and at its end: the DBMChanged
    // between them are one gesture.
    void DragStarted();
    void DragFinished();

private:
    void GraphDBMChanged(TSCalGraph *graph, TDBMSet *set, int raw);

    TSCalGraph *Graph = nullptr;
    TDBMSet *Set = nullptr; // owned by Graph
};
