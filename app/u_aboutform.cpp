#include "app/u_aboutform.h"

#include "controls/dialogparts.h"

#include <QLabel>
#include <QPixmap>

// The icon lives in the core library's resources, which a static library
// only keeps when something names them.
static void InitResources() {
    Q_INIT_RESOURCE(k740scalib);
}

using namespace dialogparts;

namespace {

// The about box's button has a lighter border than the dialogs'.
constexpr TColor kAboutButtonBorder = 3552822; // RGB 54, 54, 54
constexpr int kWidth = 368;
constexpr int kHeight = 130;

TmyLabel *MakeNotice(QWidget *parent, const char *name, int left, int top, const QString &caption,
                     bool bold) {
    return Named(MakeLabel(parent, caption, left, top, clSilver, bold), name);
}

} // namespace

TAboutForm::TAboutForm(QWidget *owner)
    : TstForm(QStringLiteral("About"), TFrameKind::fkDialog, owner) {
    InitResources();
    setAttribute(Qt::WA_QuitOnClose, false);
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    QLabel *Image1 = Named(new QLabel(ClientPanel), "Image1");
    Image1->setGeometry(16, 20, 32, 32);
    Image1->setPixmap(QPixmap(QStringLiteral(":/k740scalib/icon-32.png")));
    Image1->setScaledContents(true);
    // The icon's top row lies under the title bar's last one, which is drawn
    // over it.
    Image1->stackUnder(TopPanel);

    MakeNotice(ClientPanel, "Label3", 84, 36, QStringLiteral("S-Meter Calibrator for ZX-K740"),
               true);
    Ver = MakeNotice(ClientPanel, "Ver", 260, 36, QStringLiteral("Version"), true);
    MakeNotice(ClientPanel, "Label2", 59, 59,
               QStringLiteral("Copyright \u00a9 2004-2026 Korvanta Communications."), false);
    TmyLabel *Label1 = MakeNotice(
        ClientPanel, "Label1", 26, 74,
        QStringLiteral("K740Demod and the ZX-K740 receiver are products of Korvanta."), false);
    Label1->SetAutoSize(false);
    Label1->setGeometry(26, 74, 316, Label1->height());
    Label1->SetAlignment(TAlignment::taRightJustify);

    TstSpeedButton *stSpeedButton2 = Named(
        MakeButton(ClientPanel, QRect(148, 100, 70, 21), QStringLiteral("OK")), "stSpeedButton2");
    stSpeedButton2->SetBorderColor(kAboutButtonBorder);
    connect(stSpeedButton2, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    if (owner) move(owner->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
    FormCreate();
}

QString TAboutForm::VersionText(int major, int minor, int release, int) {
    return QStringLiteral("%1.%2%3").arg(major).arg(minor).arg(release);
}

void TAboutForm::FormCreate() {
    // The program's own file version, compiled in from the project version.
    Ver->SetCaption(VersionText(K740_VERSION_MAJOR, K740_VERSION_MINOR, K740_VERSION_PATCH,
                                K740_VERSION_TWEAK));
}
