// The progress of a run on standard error: on a terminal one line that is
// redrawn (the point, a bar and the share done), otherwise one line per point
// as it finishes, so that a log stays readable.
#pragma once

#include <QString>

class TProgressLine {
public:
    TProgressLine();
    // Ends a bar in progress with a line break.
    ~TProgressLine();

    // Point `index` (from 0) of `count`, `fraction` (0..1) of it done.
    void Show(const QString &point, int index, int count, double fraction);
    // A point is done: its line ("7.1 MHz (2 of 3): ...").
    void Done(const QString &line);
    // Any other message, on a line of its own.
    void Message(const QString &line);

private:
    void Clear();

    bool terminal_ = false;
    bool barShown_ = false;
};
