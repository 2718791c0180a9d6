// TmyFrequencyEdit: the frequency field placed on the windows, with a wheel
// companion (TstCustomEdit::SetUpDownControl) where a window gives it one.
#pragma once

#include "controls/stfrequencyedit.h"

class TmyFrequencyEdit : public TstFrequencyEdit {
    Q_OBJECT
public:
    using TstFrequencyEdit::TstFrequencyEdit;
};
