#include "dialogs/u_instrumentform.h"

#include "controls/dialogparts.h"
#include "controls/myscrollbar.h"
#include "controls/stalignedit.h"
#include "controls/stcontrol.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "platform/messagebox.h"

#include <QLabel>
#include <QPainter>

#include <functional>

using namespace dialogparts;

// A list of texts in a sunken panel with its scroll bar; a click (or a key
// that moves the cursor) on a row picks it. Each row may carry a grey note
// at its right end.
class TPickList : public QObject {
public:
    TPickList(QWidget *parent, const QRect &place, const QString &name,
              std::function<void(int)> picked)
        : QObject(parent), picked_(std::move(picked)) {
        panel_ = MakeListPanel(parent, place);
        panel_->setObjectName(name + QStringLiteral("Panel"));
        bar_ = MakeListScrollBar(panel_);
        grid_ = MakeListGrid(panel_, 1, 0);
        grid_->setObjectName(name);
        grid_->SetDefaultColWidth(place.width() - 4 - bar_->width());
        grid_->SetOnDrawCell(
            [this](TstGrid *, QPainter &canvas, int, int row, const QRect &rect,
                   TstGrid::TGridDrawState state) { Draw(canvas, row, rect, state); });
        grid_->SetOnSelectCell([this](TstGrid *, int, int row, bool &) {
            if (quiet_ || row >= texts_.size()) return;
            Highlight(row);
            picked_(row);
        });
        connect(grid_, &TstGrid::OnTopLeftChanged, bar_,
                [this] { bar_->SetPosition(grid_->TopRow()); });
        connect(bar_, &TmyScrollBar::OnPositionChange, grid_,
                [this] { grid_->SetTopRow(int(bar_->Position())); });
        panel_->Realign();
    }

    void SetRows(const QStringList &texts, const QStringList &notes) {
        texts_ = texts;
        notes_ = notes;
        quiet_ = true;
        grid_->SetRowCount(std::max<int>(1, int(texts.size())));
        for (int row = 0; row < texts.size(); ++row)
            grid_->SetCells(0, row, texts[row]);
        grid_->SetRow(0);
        grid_->SetTopRow(0);
        quiet_ = false;
        highlighted_ = -1; // nothing is picked yet
        FitScrollBar(bar_, grid_);
        grid_->update();
    }
    // Shows a row as the picked one without acting on it.
    void Select(int row) {
        if (row < 0 || row >= texts_.size()) return;
        quiet_ = true;
        grid_->SetRow(row);
        quiet_ = false;
        Highlight(row);
    }

private:
    void Highlight(int row) {
        highlighted_ = row;
        grid_->update();
    }
    void Draw(QPainter &canvas, int row, const QRect &rect, TstGrid::TGridDrawState) {
        canvas.setFont(grid_->font());
        const bool selected = row == highlighted_;
        canvas.fillRect(rect, ColorToQColor(selected ? kSelectedRow : grid_->Color()));
        if (row >= texts_.size()) return;
        const QString note = row < notes_.size() ? notes_[row] : QString();
        const int noteWidth = note.isEmpty() ? 0 : TextWidth(canvas, note) + 6;
        canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(kListText));
        const QString text = canvas.fontMetrics().elidedText(texts_[row], Qt::ElideMiddle,
                                                             rect.width() - 4 - noteWidth);
        TextOut(canvas, rect.left() + 2, rect.top(), text);
        if (note.isEmpty()) return;
        canvas.setPen(selected ? QColor(Qt::black) : ColorToQColor(clGray));
        TextOut(canvas, rect.right() - 1 - TextWidth(canvas, note), rect.top(), note);
    }

    std::function<void(int)> picked_;
    TstPanel *panel_ = nullptr;
    TstGrid *grid_ = nullptr;
    TmyScrollBar *bar_ = nullptr;
    QStringList texts_, notes_;
    int highlighted_ = -1;
    bool quiet_ = false;
};

namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 372;

TstAlignEdit *MakeEdit(QWidget *parent, const QRect &place, const QString &name,
                       const QString &hint) {
    auto *edit = new TstAlignEdit(parent);
    edit->setObjectName(name);
    StyleValueField(edit, place);
    edit->SetAlignment(Qt::AlignLeft);
    edit->setToolTip(hint);
    return edit;
}

TstSpeedButton *MakeNamedButton(QWidget *parent, const QRect &place, const QString &caption,
                                const QString &name, const QString &hint) {
    TstSpeedButton *button = MakeButton(parent, place, caption, hint);
    button->setObjectName(name);
    return button;
}

// The kinds in the order of their buttons, with their captions and hints.
struct TKind {
    TLinkKind kind;
    const char *caption, *name, *hint;
};
constexpr TKind kKinds[] = {
    {TLinkKind::lkSocket, "LAN", "BSocket", "SCPI over a raw TCP socket, usually port 5025"},
    {TLinkKind::lkGpibLan, "LAN-GPIB", "BGpibLan", "GPIB through a LAN-GPIB adapter, port 1234"},
    {TLinkKind::lkGpibSerial, "USB-GPIB", "BGpibSerial",
     "GPIB through a USB-GPIB adapter on a serial port"},
    {TLinkKind::lkUsbtmc, "USBTMC", "BUsbtmc", "USB through the kernel's USBTMC driver"},
};

} // namespace

TInstrumentForm::TInstrumentForm(QWidget *parent)
    : TstForm(QStringLiteral("Instrument"), TFrameKind::fkDialog, parent) {
    setObjectName(QStringLiteral("InstrumentForm"));
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    TstPanel *link = MakeGroup(ClientPanel, QRect(6, 26, 272, 310), QStringLiteral("Link"));
    ELink_ = MakeEdit(link, QRect(8, 26, 256, 18), QStringLiteral("ELink"),
                      QStringLiteral("The generator's resource text, for example "
                                     "TCPIP0::192.168.1.20::5025::SOCKET"));
    connect(ELink_, &QLineEdit::textChanged, this, &TInstrumentForm::ShowLinkState);
    // What the text means, or why it means nothing; long refusals wrap.
    LLinkState_ = new QLabel(link);
    LLinkState_->setObjectName(QStringLiteral("LLinkState"));
    LLinkState_->setGeometry(8, 46, 256, 30);
    LLinkState_->setFont(ArialFont(11));
    LLinkState_->setWordWrap(true);
    LLinkState_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    int x = 8;
    for (const TKind &k : kKinds) {
        TstSpeedButton *button =
            MakeNamedButton(link, QRect(x, 80, 62, 20), QString::fromLatin1(k.caption),
                            QString::fromLatin1(k.name), QString::fromLatin1(k.hint));
        button->SetGroupIndex(1);
        button->SetAllowAllUp(true); // none down while the text means nothing
        // The kind of the link in the text stands out as a picked row does.
        button->SetColorDown(kSelectedRow);
        button->SetFontColorDown(clBlack);
        connect(button, &TstSpeedButton::OnClick, this, [this, k] { KindClick(k.kind); });
        kindButtons_.emplace_back(k.kind, button);
        x += 64;
    }
    MakeLabel(link, QStringLiteral("Ports, devices and links used last"), 8, 108, kListText);
    links_ = new TPickList(link, QRect(8, 124, 256, 150), QStringLiteral("LinkList"),
                           [this](int row) { PickLink(row); });
    TstSpeedButton *refresh = MakeNamedButton(
        link, QRect(8, 280, 73, 21), QStringLiteral("Refresh"), QStringLiteral("BRefresh"),
        QStringLiteral("Lists the serial ports and USBTMC devices again"));
    connect(refresh, &TstSpeedButton::OnClick, this, &TInstrumentForm::Relist);

    TstPanel *commands =
        MakeGroup(ClientPanel, QRect(282, 26, 272, 310), QStringLiteral("Command set"));
    sets_ = new TPickList(commands, QRect(8, 24, 256, 62), QStringLiteral("SetList"),
                          [this](int row) { PickSet(row); });
    const struct {
        QString TCommandSet::*line;
        const char *caption, *name, *hint;
    } fields[] = {
        {&TCommandSet::Name, "Name", "ESetName", "The name the set is saved under"},
        {&TCommandSet::Identity, "Identity", "EIdentity",
         "Optional: the query whose answer names the generator (*IDN?)"},
        {&TCommandSet::Frequency, "Frequency", "EFrequency",
         "Sets the frequency: {hz}, {khz} or {mhz}, optionally with decimals ({mhz:6})"},
        {&TCommandSet::Level, "Level", "ELevel", "Sets the level: {dbm}, or {dbm:1}"},
        {&TCommandSet::OutputOn, "Output on", "EOutputOn", "Switches the output on"},
        {&TCommandSet::OutputOff, "Output off", "EOutputOff", "Switches the output off"},
        {&TCommandSet::ErrorQuery, "Error query", "EErrorQuery",
         "Optional: asked after each setting; its answer begins with 0 when all is well"},
        {&TCommandSet::Completion, "Completion", "ECompletion",
         "Optional: asked after each setting; answered with 1 once it is done"},
    };
    int y = 94;
    for (const auto &f : fields) {
        MakeLabel(commands, QString::fromLatin1(f.caption), 8, y + 2, kListText);
        setFields_.emplace_back(f.line,
                                MakeEdit(commands, QRect(84, y, 180, 18),
                                         QString::fromLatin1(f.name), QString::fromLatin1(f.hint)));
        y += 23;
    }
    TstSpeedButton *save = MakeNamedButton(commands, QRect(8, 280, 73, 21),
                                           QStringLiteral("Save set"), QStringLiteral("BSaveSet"),
                                           QStringLiteral("Saves the lines above under the name"));
    connect(save, &TstSpeedButton::OnClick, this, &TInstrumentForm::BSaveSetClick);
    TstSpeedButton *remove = MakeNamedButton(
        commands, QRect(84, 280, 73, 21), QStringLiteral("Delete set"),
        QStringLiteral("BDeleteSet"), QStringLiteral("Deletes one of your own command sets"));
    connect(remove, &TstSpeedButton::OnClick, this, &TInstrumentForm::BDeleteSetClick);

    TstSpeedButton *ok = MakeNamedButton(ClientPanel, QRect(kWidth - 155, kHeight - 30, 73, 21),
                                         QStringLiteral("OK"), QStringLiteral("BOk"),
                                         QStringLiteral("Keeps the link and the command set"));
    connect(ok, &TstSpeedButton::OnClick, this, &TInstrumentForm::BOkClick);
    TstSpeedButton *cancel = MakeNamedButton(
        ClientPanel, QRect(kWidth - 79, kHeight - 30, 73, 21), QStringLiteral("Cancel"),
        QStringLiteral("BCancel"), QStringLiteral("Closes the window and changes nothing"));
    connect(cancel, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    SetInstrument(Instrument::Chosen());
}

TInstrumentForm::~TInstrumentForm() = default;

void TInstrumentForm::SetInstrument(const TInstrument &instrument) {
    chosen_ = instrument;
    ELink_->setText(instrument.Link);
    Relist();
    commandSets_ = Instrument::CommandSets();
    QStringList names, notes;
    int current = 0;
    for (int i = 0; i < int(commandSets_.size()); ++i) {
        names << commandSets_[std::size_t(i)].Name;
        notes << (commandSets_[std::size_t(i)].IsBuiltIn() ? QStringLiteral("built in")
                                                           : QString());
        if (commandSets_[std::size_t(i)].Name.compare(instrument.Commands, Qt::CaseInsensitive) ==
            0)
            current = i;
    }
    sets_->SetRows(names, notes);
    sets_->Select(current);
    ShowSet(commandSets_[std::size_t(current)]);
    shownSet_ = current;
}

void TInstrumentForm::Relist() {
    serialPorts_ = SerialPorts();
    usbtmc_ = UsbtmcDevices();
    linkRows_.clear();
    QStringList texts, notes;
    for (const QString &port : serialPorts_) {
        texts << port;
        notes << QStringLiteral("USB-GPIB");
        linkRows_ << QStringLiteral("GPIB0::%1::INSTR via %2").arg(0).arg(port);
    }
    for (const TUsbtmcDevice &d : usbtmc_) {
        texts << (d.Resource.isEmpty() ? d.Path : d.Resource);
        notes << QStringLiteral("USBTMC");
        linkRows_ << (d.Resource.isEmpty() ? d.Path : d.Resource);
    }
    for (const QString &recent : Instrument::RecentLinks()) {
        texts << recent;
        notes << QStringLiteral("used");
        linkRows_ << recent;
    }
    links_->SetRows(texts, notes);
    ShowLinkState();
}

void TInstrumentForm::ShowLinkState() {
    QString error;
    const std::optional<TLinkAddress> address = TLinkAddress::Parse(ELink_->text(), &error);
    for (const auto &[kind, button] : kindButtons_)
        button->SetDown(address && address->Kind == kind);
    SetFontColor(LLinkState_, address ? kListText : clRed);
    if (!address) {
        LLinkState_->setText(error);
        return;
    }
    QString state;
    switch (address->Kind) {
    case TLinkKind::lkSocket:
        state = QStringLiteral("SCPI over TCP to %1").arg(address->Address());
        break;
    case TLinkKind::lkGpibLan:
        state = QStringLiteral("GPIB address %1 behind the LAN-GPIB adapter at %2:%3")
                    .arg(address->GpibAddress)
                    .arg(address->Host)
                    .arg(address->Port);
        break;
    case TLinkKind::lkGpibSerial:
        state = QStringLiteral("GPIB address %1 behind the USB-GPIB adapter on %2")
                    .arg(address->GpibAddress)
                    .arg(address->Device);
        break;
    case TLinkKind::lkUsbtmc: {
        QString path = address->Device;
        if (!path.startsWith(QLatin1Char('/'))) path = UsbtmcPath(path, usbtmc_);
        state = path.isEmpty()
                    ? QStringLiteral("USBTMC device %1 (not connected now)").arg(address->Device)
                    : QStringLiteral("USBTMC device %1").arg(path);
        break;
    }
    }
    LLinkState_->setText(state);
}

void TInstrumentForm::KindClick(TLinkKind kind) {
    // The same generator over another kind of link: what both kinds share is
    // kept, the rest takes the usual values.
    TLinkAddress now = TLinkAddress::Parse(ELink_->text()).value_or(TLinkAddress{});
    TLinkAddress next = now;
    next.Kind = kind;
    const bool lan = now.Kind == TLinkKind::lkSocket || now.Kind == TLinkKind::lkGpibLan;
    if (kind == TLinkKind::lkSocket || kind == TLinkKind::lkGpibLan) {
        if (!lan || now.Host.isEmpty()) next.Host = QStringLiteral("192.168.1.20");
        if (now.Kind != kind)
            next.Port = kind == TLinkKind::lkSocket ? TLinkAddress::kSocketPort
                                                    : TLinkAddress::kAdapterPort;
    } else if (kind == TLinkKind::lkGpibSerial && now.Kind != kind) {
        next.Device = serialPorts_.isEmpty() ? QStringLiteral("/dev/ttyUSB0") : serialPorts_[0];
    } else if (kind == TLinkKind::lkUsbtmc && now.Kind != kind) {
        next.Device = usbtmc_.empty()
                          ? QStringLiteral("/dev/usbtmc0")
                          : (usbtmc_[0].Resource.isEmpty() ? usbtmc_[0].Path : usbtmc_[0].Resource);
    }
    ELink_->setText(next.Text());
    ELink_->setFocus();
}

void TInstrumentForm::PickLink(int row) {
    if (row < 0 || row >= linkRows_.size()) return;
    QString link = linkRows_[row];
    // A serial port keeps the GPIB address typed so far.
    if (row < serialPorts_.size()) {
        TLinkAddress address = TLinkAddress::Parse(ELink_->text()).value_or(TLinkAddress{});
        address.Kind = TLinkKind::lkGpibSerial;
        address.Device = serialPorts_[row];
        link = address.Text();
    }
    ELink_->setText(link);
}

TCommandSet TInstrumentForm::EditedSet() const {
    TCommandSet set;
    for (const auto &[line, edit] : setFields_)
        set.*line = edit->text().trimmed();
    return set;
}

void TInstrumentForm::ShowSet(const TCommandSet &set) {
    for (const auto &[line, edit] : setFields_)
        edit->setText(set.*line);
}

void TInstrumentForm::PickSet(int row) {
    if (row < 0 || row >= int(commandSets_.size())) return;
    shownSet_ = row;
    ShowSet(commandSets_[std::size_t(row)]);
}

bool TInstrumentForm::SaveSet() {
    const TCommandSet set = EditedSet();
    QString error;
    if (!Instrument::SaveCommandSet(set, &error)) {
        platform::ShowError(this, error);
        return false;
    }
    SetInstrument({ELink_->text(), set.Name});
    return true;
}

void TInstrumentForm::BSaveSetClick() {
    SaveSet();
}

void TInstrumentForm::BDeleteSetClick() {
    if (shownSet_ < 0) return;
    const TCommandSet &set = commandSets_[std::size_t(shownSet_)];
    if (set.IsBuiltIn()) {
        platform::ShowError(
            this, QStringLiteral("\"%1\" is built in and cannot be deleted.").arg(set.Name));
        return;
    }
    if (!platform::AskConfirmation(this,
                                   QStringLiteral("Delete the command set \"%1\"?").arg(set.Name)))
        return;
    Instrument::RemoveCommandSet(set.Name);
    const QString link = ELink_->text();
    SetInstrument({link, TCommandSet::ScpiPower().Name});
}

std::optional<TInstrument> TInstrumentForm::AskInstrument(const TInstrument &current) {
    SetInstrument(current);
    if (ShowModal() != mrOk) return std::nullopt;
    return chosen_;
}

void TInstrumentForm::BOkClick() {
    QString error;
    const std::optional<TLinkAddress> address = TLinkAddress::Parse(ELink_->text(), &error);
    if (!address) {
        platform::ShowError(this, error);
        return;
    }
    // Changed lines are not lost: they are saved, or the set is taken as saved.
    if (shownSet_ >= 0 && EditedSet() != commandSets_[std::size_t(shownSet_)]) {
        if (platform::AskConfirmation(
                this, QStringLiteral("The command set \"%1\" has changes. Save them?")
                          .arg(EditedSet().Name))) {
            if (!SaveSet()) return;
        } else {
            ShowSet(commandSets_[std::size_t(shownSet_)]);
        }
    }
    chosen_ = {address->Text(), commandSets_[std::size_t(shownSet_)].Name};
    Instrument::Choose(chosen_);
    SetModalResult(mrOk);
}
