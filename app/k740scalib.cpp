#include "app/k740scalib.h"

#include "app/u_mainform.h"
#include "platform/application.h"

TProgram::TProgram()
    : main_(std::make_unique<TMainForm>(TMainFormParts{receiver_, document_, level_, overlay_,
                                                       points_, addFq_, addPoints_, calInfo_, copy_,
                                                       table_, sweep_, verify_})),
      fSelect_(points_),
      table_(TTableFormWindows{graph_, editVal_, fill_, fSelect_, sweep_, verify_}) {
    QObject::connect(&level_, &TLiveLevel::RawChanged, &table_, &TTableForm::SetLiveRaw);
    QObject::connect(&level_, &TLiveLevel::RawChanged, &sweep_, &TSweepForm::SetLiveRaw);
    QObject::connect(&level_, &TLiveLevel::RawChanged, &verify_, &TVerifyForm::SetLiveRaw);
    QObject::connect(&searchAD_, &TSearchADForm::Hidden, main_.get(), &QWidget::activateWindow);
}

TProgram::~TProgram() = default;

int RunK740scalib() {
    platform::Application::setTitle(TMainForm::TitleText());
    // Nothing is shown by itself: the main window only once it may be.
    TProgram program;
    if (!program.MainForm().ShowAllowed()) return 1;
    program.MainForm().show();
    return QApplication::exec();
}
