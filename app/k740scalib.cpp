#include "app/k740scalib.h"

#include "app/programwindows.h"
#include "platform/application.h"

int RunK740scalib() {
    platform::Application::setTitle(TMainForm::TitleText());
    // Nothing is shown by itself: the main window only once it may be.
    TProgramWindows windows;
    if (!windows.Main().ShowAllowed()) return 1;
    windows.Main().show();
    return QApplication::exec();
}
