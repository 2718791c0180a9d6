// TGraphForm: the graph window beside the table editor. Created once at start-up, framed and sized;
// its controls come with the commands that use it.
#pragma once

#include "calibration/smsdk.h"
#include "controls/stform.h"

#include <cstdint>

// Interim declarations of the graph window's interface, until the graph
// control lands; they draw nothing.
class TDBMSet {
public:
    void SetDBM(int, double) {}
};

class TGraphForm : public TstForm {
    Q_OBJECT
public:
    static constexpr int kWidth = 557;
    static constexpr int kHeight = 406;

    explicit TGraphForm(QWidget *parent = nullptr);

    void SetTable(const TDbmTable &, const QString &) {}
    TDBMSet *Set = &set_;

signals:
    void DBMChanged(int raw, double value);
    void DragStarted();
    void DragFinished();

private:
    TDBMSet set_;
};

extern TGraphForm *GraphForm;
