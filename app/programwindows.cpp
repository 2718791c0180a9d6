#include "app/programwindows.h"

TProgramWindows::TProgramWindows()
    : main_(TMainFormWindows{points_, addFq_, calInfo_, copy_, table_, sweep_}), fSelect_(points_),
      table_(TTableFormWindows{graph_, editVal_, fill_, fSelect_, sweep_}) {
    QObject::connect(&main_.Level(), &TLiveLevel::RawChanged, &table_, &TTableForm::SetLiveRaw);
    QObject::connect(&main_.Level(), &TLiveLevel::RawChanged, &sweep_, &TSweepForm::SetLiveRaw);
    QObject::connect(&searchAD_, &TSearchADForm::Hidden, &main_, &QWidget::activateWindow);
}
