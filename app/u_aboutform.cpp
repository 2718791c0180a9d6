#include "app/u_aboutform.h"

#include <QLabel>
#include <QPixmap>

// The icon lives in the core library's resources, which a static library
// only keeps when something names them.
static void InitResources() {
    Q_INIT_RESOURCE(k740scalib);
}

namespace {

constexpr TColor kButtonFace = 6513507;   // RGB 99, 99, 99
constexpr TColor kButtonBorder = 3552822; // RGB 54, 54, 54

QFont ArialFont(bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

TmyLabel *MakeLabel(QWidget *parent, int left, int top, const QString &caption, bool bold) {
    auto *label = new TmyLabel(parent);
    label->setFont(ArialFont(bold));
    SetFontColor(label, clSilver);
    label->SetCaption(caption);
    label->move(left, top);
    return label;
}

} // namespace

TAboutForm::TAboutForm(QWidget *owner)
    : TstForm(QStringLiteral("About"), TFrameKind::fkDialog, owner) {
    InitResources();
    setAttribute(Qt::WA_QuitOnClose, false);
    SetSize(kWidth, kHeight);
    setFont(ArialFont(false));

    Image1 = new QLabel(ClientPanel);
    Image1->setGeometry(16, 20, 32, 32);
    Image1->setPixmap(QPixmap(QStringLiteral(":/k740scalib/icon-32.png")));
    Image1->setScaledContents(true);

    Label3 = MakeLabel(ClientPanel, 84, 36, QStringLiteral("S-Meter Calibrator for ZX-K740"), true);
    Ver = MakeLabel(ClientPanel, 260, 36, QStringLiteral("Version"), true);
    Label2 = MakeLabel(ClientPanel, 59, 59,
                       QStringLiteral("Copyright \u00a9 Korvanta. All rights reserved."), false);
    Label1 = MakeLabel(ClientPanel, 26, 74,
                       QStringLiteral("ZX-K740 and K740Demod are products of Korvanta."), false);
    Label1->SetAutoSize(false);
    Label1->setGeometry(26, 74, 316, Label1->height());
    Label1->SetAlignment(TAlignment::taRightJustify);

    stSpeedButton2 = new TstSpeedButton(ClientPanel);
    stSpeedButton2->setGeometry(148, 100, 70, 21);
    stSpeedButton2->SetCaption(QStringLiteral("OK"));
    stSpeedButton2->SetColor(kButtonFace);
    stSpeedButton2->SetColorDown(kButtonFace);
    stSpeedButton2->SetColorDisabled(kButtonFace);
    stSpeedButton2->SetBorderWidth(1);
    stSpeedButton2->SetBorderColor(kButtonBorder);
    stSpeedButton2->setFont(ArialFont(false));
    stSpeedButton2->SetFontColor(clLime);
    stSpeedButton2->SetFontColorDown(clLime);
    stSpeedButton2->SetFontColorDisabled(clGray);
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
