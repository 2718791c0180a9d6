#include "app/k740scalib.h"

#include "app/u_mainform.h"
#include "app/u_searchadform.h"
#include "dialogs/u_addfqform.h"
#include "dialogs/u_calinfoform.h"
#include "dialogs/u_copyform.h"
#include "dialogs/u_editvalform.h"
#include "dialogs/u_fillform.h"
#include "dialogs/u_fselectform.h"
#include "dialogs/u_sweepform.h"
#include "dialogs/u_tableform.h"
#include "graph/u_graphform.h"
#include "platform/application.h"

#include <QPointer>

namespace {

// Each window in its global; freed in the reverse order of creation. The main
// window frees the graph window itself.
template <typename Form> void Free(Form *&form) {
    delete form;
    form = nullptr;
}

void FreeWindows() {
    Free(SweepForm);
    Free(TableForm);
    Free(SearchADForm);
    Free(GraphForm);
    Free(FSelectForm);
    Free(FillForm);
    Free(EditValForm);
    Free(CopyForm);
    Free(CalInfoForm);
    Free(AddFqForm);
    Free(MainForm);
}

} // namespace

int RunK740scalib() {
    platform::Application::setTitle(TMainForm::TitleText());
    // Nothing is shown by itself: the main window only once it may be.
    MainForm = new TMainForm();
    AddFqForm = new TAddFqForm();
    CalInfoForm = new TCalInfoForm();
    CopyForm = new TCopyForm();
    EditValForm = new TEditValForm();
    FillForm = new TFillForm();
    FSelectForm = new TFSelectForm();
    GraphForm = new TGraphForm();
    SearchADForm = new TSearchADForm();
    TableForm = new TTableForm();
    SweepForm = new TSweepForm();

    // The windows meet through signals only.
    QObject::connect(&MainForm->Level(), &TLiveLevel::RawChanged, TableForm,
                     &TTableForm::SetLiveRaw);
    QObject::connect(&MainForm->Level(), &TLiveLevel::RawChanged, SweepForm,
                     &TSweepForm::SetLiveRaw);
    QObject::connect(SearchADForm, &TSearchADForm::Hidden, MainForm, &QWidget::activateWindow);

    if (!MainForm->ShowAllowed()) {
        FreeWindows();
        return 1;
    }
    MainForm->show();
    const int status = QApplication::exec();
    FreeWindows();
    return status;
}
