// TAboutForm: the about window with the program's icon, name, version and
// the maker's notices. Created anew for every showing and destroyed when it
// closes.
#pragma once

#include "controls/stform.h"

class TAboutForm : public TstForm {
    Q_OBJECT
public:
    // Centred on its owner (the main window).
    explicit TAboutForm(QWidget *owner = nullptr);

    // The version text of a four-part file version: major, ".", then minor
    // and release one after the other, without leading zeros; the build
    // number is not shown (1.0.6.16 gives "1.06").
    static QString VersionText(int major, int minor, int release, int build);

private:
    void FormCreate();

    TmyLabel *Ver = nullptr;
};
