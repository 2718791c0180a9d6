#include "demodwindow.h"

#include "k740sim.h"
#include "spectrumview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

struct ModeNames {
    const char *name;
    const char *text;
};
// The receiver's own mode codes 0..7.
constexpr ModeNames Modes[DemodWindow::ModeCount] = {
    {"CW", "CW - Continuous Wave"},           {"AM", "AM - Amplitude Modulation"},
    {"FMN", "FMN - Freq. Modulation,Narrow"}, {"FMW", "FMW - Freq. Modulation,Wide"},
    {"LSB", "LSB - Lower Side Band"},         {"USB", "USB - Upper Side Band"},
    {"FMM", "FMM - Freq. Modulation,Medium"}, {"FM6", "FM6 - Freq. Mod. (6kHz BW)"},
};

QPalette darkPalette() {
    QPalette p;
    const QColor panel(66, 66, 66), text(192, 192, 192), button(88, 88, 88);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, panel);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, QColor(0, 0, 0));
        p.setColor(group, QPalette::AlternateBase, QColor(33, 33, 33));
        p.setColor(group, QPalette::Text, QColor(0, 255, 0));
        p.setColor(group, QPalette::Button, button);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Highlight, QColor(144, 144, 144));
        p.setColor(group, QPalette::HighlightedText, QColor(0, 0, 0));
        p.setColor(group, QPalette::Light, QColor(120, 120, 120));
        p.setColor(group, QPalette::Midlight, QColor(99, 99, 99));
        p.setColor(group, QPalette::Mid, QColor(55, 55, 55));
        p.setColor(group, QPalette::Dark, QColor(33, 33, 33));
        p.setColor(group, QPalette::Shadow, QColor(0, 0, 0));
    }
    p.setColor(QPalette::Disabled, QPalette::Window, panel);
    p.setColor(QPalette::Disabled, QPalette::Button, button);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(110, 110, 110));
    return p;
}

// A spin box inside a plain one-pixel frame of its own instead of the
// style's rounded one, which the style keeps as a picture that is not sharp
// above 100 %.
class BoxFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setPen(QColor(33, 33, 33));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

template <typename SpinBox> SpinBox *framedSpinBox(QWidget *parent, const QRect &geometry) {
    auto *frame = new BoxFrame(parent);
    frame->setGeometry(geometry);
    auto *box = new SpinBox(frame);
    box->setFrame(false);
    box->setGeometry(1, 1, geometry.width() - 2, geometry.height() - 2);
    return box;
}

} // namespace

QString DemodWindow::ModeName(int mode) {
    return mode >= 0 && mode < ModeCount ? QString::fromLatin1(Modes[mode].name) : QString();
}

QString DemodWindow::ModeText(int mode) {
    return mode >= 0 && mode < ModeCount ? QString::fromLatin1(Modes[mode].text) : QString();
}

DemodWindow::DemodWindow(QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral(u"K740 Demodulator"));
    setFixedSize(Width, Height);
    setAutoFillBackground(true);
    setPalette(darkPalette());
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    spectrum_ = new SpectrumView(this);
    spectrum_->setGeometry(4, 4, 300, 126);

    // The selected mode stands out as a selected row of the program's lists does.
    setStyleSheet(QStringLiteral(
        "QPushButton { background: rgb(88,88,88); color: rgb(192,192,192);"
        " border: 1px solid rgb(33,33,33); border-radius: 2px; }"
        "QPushButton:pressed { background: rgb(110,110,110); }"
        "QPushButton:checked { background: rgb(144,144,144); color: black; }"
        "QGroupBox { border: 1px solid rgb(99,99,99); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
    modes_ = new QButtonGroup(this);
    modes_->setExclusive(true);
    for (int mode = 0; mode < ModeCount; ++mode) {
        auto *b = new QPushButton(ModeName(mode), this);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(ModeText(mode));
        b->setGeometry(308 + (mode % 4) * 41, 4 + (mode / 4) * 24, 40, 22);
        modes_->addButton(b, mode);
    }
    connect(modes_, &QButtonGroup::idClicked, this, &DemodWindow::modeChosen);

    auto *widthLabel = new QLabel(QStringLiteral("Width"), this);
    widthLabel->setGeometry(308, 56, 48, 20);
    width_ = framedSpinBox<QSpinBox>(this, QRect(360, 56, 112, 20));
    width_->setRange(100, 200000);
    width_->setSingleStep(100);
    width_->setSuffix(QStringLiteral(" Hz"));
    width_->setKeyboardTracking(false);
    connect(width_, &QSpinBox::valueChanged, this, [this](int v) { emit widthChosen(v); });

    auto *offsetLabel = new QLabel(QStringLiteral("Shift"), this);
    offsetLabel->setGeometry(308, 80, 48, 20);
    offset_ = framedSpinBox<QSpinBox>(this, QRect(360, 80, 112, 20));
    offset_->setRange(-5000, 5000);
    offset_->setSingleStep(50);
    offset_->setSuffix(QStringLiteral(" Hz"));
    offset_->setKeyboardTracking(false);
    connect(offset_, &QSpinBox::valueChanged, this, [this](int v) { emit offsetChosen(v); });

    receiver_ = new QLabel(this);
    receiver_->setGeometry(308, 106, 164, 20);

    auto *generator = new QGroupBox(QStringLiteral("Signal generator"), this);
    generator_ = generator;
    generator->setGeometry(4, 134, 468, 61);
    generatorOn_ = new QCheckBox(QStringLiteral("On"), generator);
    generatorOn_->setGeometry(8, 26, 44, 20);
    auto *levelLabel = new QLabel(QStringLiteral("Level"), generator);
    levelLabel->setGeometry(56, 26, 34, 20);
    generatorLevel_ = framedSpinBox<QDoubleSpinBox>(generator, QRect(90, 26, 92, 22));
    generatorLevel_->setRange(-140.0, 0.0);
    generatorLevel_->setDecimals(1);
    generatorLevel_->setSingleStep(1.0);
    generatorLevel_->setSuffix(QStringLiteral(" dBm"));
    generatorLevel_->setKeyboardTracking(false);
    auto *frequencyLabel = new QLabel(QStringLiteral("Freq."), generator);
    frequencyLabel->setGeometry(190, 26, 32, 20);
    generatorMHz_ = framedSpinBox<QDoubleSpinBox>(generator, QRect(222, 26, 128, 22));
    generatorMHz_->setDecimals(6);
    generatorMHz_->setRange(0.0, 3500.0);
    generatorMHz_->setSingleStep(0.001);
    generatorMHz_->setSuffix(QStringLiteral(" MHz"));
    generatorMHz_->setKeyboardTracking(false);
    auto *toPassband = new QPushButton(QStringLiteral("To passband"), generator);
    toPassband->setGeometry(356, 26, 104, 22);
    toPassband->setFocusPolicy(Qt::NoFocus);
    toPassband->setToolTip(QStringLiteral("Put the generator in the middle of the passband"));
    toPassband_ = toPassband;
    remote_ = new QLabel(generator);
    remote_->setObjectName(QStringLiteral("RemoteAddress"));
    remote_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    remote_->setToolTip(QStringLiteral("The generator answers SCPI commands over TCP here"));
    adapters_ = new QLabel(generator);
    adapters_->setObjectName(QStringLiteral("AdapterAddresses"));
    adapters_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The addresses are notes beside the caption, a size smaller.
    for (QLabel *note : {remote_, adapters_}) {
        QFont font = QApplication::font(note);
        font.setPixelSize(10);
        note->setFont(font);
    }
    placeAdapterLine();

    connect(generatorOn_, &QCheckBox::toggled, this, &DemodWindow::emitGenerator);
    connect(generatorLevel_, &QDoubleSpinBox::valueChanged, this, &DemodWindow::emitGenerator);
    connect(generatorMHz_, &QDoubleSpinBox::valueChanged, this, &DemodWindow::emitGenerator);
    connect(toPassband, &QPushButton::clicked, this, &DemodWindow::generatorToPassband);
}

QAbstractButton *DemodWindow::modeButton(int mode) const {
    return modes_->button(mode);
}

void DemodWindow::emitGenerator() {
    const auto hz = std::uint64_t(std::llround(generatorMHz_->value() * 1e6));
    emit generatorChosen(generatorOn_->isChecked(), hz, generatorLevel_->value());
}

void DemodWindow::showMode(int mode) {
    if (QAbstractButton *b = modes_->button(mode)) {
        b->setChecked(true);
    } else if (QAbstractButton *checked = modes_->checkedButton()) {
        modes_->setExclusive(false);
        checked->setChecked(false);
        modes_->setExclusive(true);
    }
}

void DemodWindow::showWidth(std::int32_t hz) {
    const QSignalBlocker blocker(width_);
    width_->setValue(hz);
}

void DemodWindow::showOffset(std::int32_t hz) {
    const QSignalBlocker blocker(offset_);
    offset_->setValue(hz);
}

void DemodWindow::showReceiver(const QString &text) {
    receiver_->setText(text);
}

void DemodWindow::showGenerator(bool on, std::uint64_t hz, double dbm) {
    const QSignalBlocker b1(generatorOn_), b2(generatorLevel_), b3(generatorMHz_);
    generatorOn_->setChecked(on);
    generatorLevel_->setValue(dbm);
    generatorMHz_->setValue(double(hz) / 1e6);
}

void DemodWindow::placeAdapterLine() {
    // The caption starts 8 pixels in, padded by 3 on each side. Under the
    // group's style sheet it is drawn in the labels' default font, not in the
    // group's own. The SCPI address keeps to the right edge; the adapters'
    // line takes the room between, and a text longer than that is cut at the
    // caption's side (its tooltip tells it whole).
    const int captionEnd =
        8 + 3 + QFontMetrics(QApplication::font(adapters_)).horizontalAdvance(generator_->title()) +
        3;
    const int remoteWidth = QFontMetrics(remote_->font()).horizontalAdvance(remote_->text()) + 2;
    remote_->setGeometry(460 - remoteWidth, 6, remoteWidth, 16);
    const int left = captionEnd + 6;
    adapters_->setGeometry(left, 6, remote_->x() - 10 - left, 16);
}

void DemodWindow::showRemoteAddresses(int scpiPort, int adapterPort, const QString &serialPath) {
    remote_->setText(scpiPort > 0 ? QStringLiteral("SCPI 127.0.0.1:%1").arg(scpiPort)
                                  : QStringLiteral("SCPI port unavailable"));
    QStringList adapters;
    if (adapterPort > 0) adapters << QStringLiteral("127.0.0.1:%1").arg(adapterPort);
    if (!serialPath.isEmpty()) adapters << serialPath;
    const QString address = QString::number(K740SIM_GPIB_ADDRESS);
    adapters_->setText(
        adapters.isEmpty()
            ? QString()
            : QStringLiteral("GPIB %1: %2").arg(address, adapters.join(QStringLiteral(", "))));
    placeAdapterLine();
    QStringList tip;
    if (adapterPort > 0)
        tip << QStringLiteral("a LAN-GPIB adapter at 127.0.0.1:%1").arg(adapterPort);
    if (!serialPath.isEmpty())
        tip << QStringLiteral("a USB-GPIB adapter on the serial port %1").arg(serialPath);
    adapters_->setToolTip(
        adapters.isEmpty()
            ? QString()
            : QStringLiteral("The generator answers at GPIB address %1 behind %2 (\"++\" "
                             "controller commands)")
                  .arg(address, tip.join(QStringLiteral(" and "))));
}

void DemodWindow::setGeneratorRange(std::uint64_t lowestHz, std::uint64_t highestHz) {
    const QSignalBlocker blocker(generatorMHz_);
    generatorMHz_->setRange(double(lowestHz) / 1e6, double(highestHz) / 1e6);
}
