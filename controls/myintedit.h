// TmyIntEdit: the integer field placed on the windows, with a wheel
// companion (TstCustomEdit::SetUpDownControl) where a window gives it one.
#pragma once

#include "controls/stintedit.h"

class TmyIntEdit : public TstIntEdit {
    Q_OBJECT
public:
    using TstIntEdit::TstIntEdit;
};
