#include "dialogs/u_addpointsform.h"

#include "calibration/frequencytext.h"
#include "controls/dialogparts.h"
#include "controls/myfrequencyedit.h"
#include "controls/myintedit.h"
#include "controls/mylabel.h"
#include "controls/stspeedbutton.h"
#include "platform/application.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>

using namespace dialogparts;
using FrequencyPlan::TPlan;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 232;

// Existing points named in the preview; more are counted.
constexpr int kNamed = 6;

TmyFrequencyEdit *MakeFrequencyEdit(QWidget *parent, const QRect &place, const char *name) {
    auto *edit = Named(new TmyFrequencyEdit(parent), name);
    StyleFrequencyField(edit, place, 11);
    return edit;
}

// A plan button: grouped, and visibly down while its plan is chosen.
TstSpeedButton *MakePlanButton(QWidget *parent, int x, const QString &caption, const char *name,
                               const QString &hint) {
    TstSpeedButton *button = Named(MakeButton(parent, QRect(x, 30, 73, 21), caption, hint), name);
    button->SetGroupIndex(1);
    button->SetColorDown(kSelectedRow);
    button->SetFontColorDown(clBlack);
    return button;
}

} // namespace

TAddPointsForm::TAddPointsForm(QWidget *parent)
    : TstForm(QStringLiteral("Add Points"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
    setFont(ArialFont(11));

    bRange_ = MakePlanButton(ClientPanel, 8, QStringLiteral("Range"), "BRange",
                             QStringLiteral("From, To and a step"));
    bPerDecade_ = MakePlanButton(ClientPanel, 84, QStringLiteral("Per decade"), "BPerDecade",
                                 QStringLiteral("From, To and a number of points per decade"));
    bList_ = MakePlanButton(ClientPanel, 160, QStringLiteral("List"), "BList",
                            QStringLiteral("Frequencies typed or pasted: 3.6M, 7.1M, 14.2 MHz"));
    connect(bRange_, &TstSpeedButton::OnClick, this, [this] { SetKind(TPlanKind::pkRange); });
    connect(bPerDecade_, &TstSpeedButton::OnClick, this,
            [this] { SetKind(TPlanKind::pkPerDecade); });
    connect(bList_, &TstSpeedButton::OnClick, this, [this] { SetKind(TPlanKind::pkList); });

    lFrom_ = MakeLabel(ClientPanel, QStringLiteral("From"), 8, 66, kListText);
    eFrom_ = MakeFrequencyEdit(ClientPanel, QRect(100, 62, 129, 22), "EFrom");
    lTo_ = MakeLabel(ClientPanel, QStringLiteral("To"), 8, 92, kListText);
    eTo_ = MakeFrequencyEdit(ClientPanel, QRect(100, 88, 129, 22), "ETo");
    lStep_ = MakeLabel(ClientPanel, QStringLiteral("Step"), 8, 118, kListText);
    eStep_ = MakeFrequencyEdit(ClientPanel, QRect(100, 114, 129, 22), "EStep");
    lPerDecade_ = MakeLabel(ClientPanel, QStringLiteral("Points per decade"), 8, 118, kListText);
    ePerDecade_ = Named(new TmyIntEdit(ClientPanel), "EPerDecade");
    StyleValueField(ePerDecade_, QRect(130, 114, 50, 22));
    ePerDecade_->SetMin(1);
    ePerDecade_->SetMax(FrequencyPlan::kMaxPerDecade);
    ePerDecade_->SetValue(10);

    eList_ = new QPlainTextEdit(ClientPanel);
    eList_->setObjectName(QStringLiteral("EList"));
    eList_->setGeometry(8, 62, kWidth - 16, 74);
    eList_->setFont(ArialFont(11));
    eList_->setPlaceholderText(QStringLiteral("3.6M, 7.1M, 14.2 MHz"));
    eList_->setToolTip(QStringLiteral("Frequencies with units, separated by commas, blanks or "
                                      "lines; ranges as 7M..7.3M/50k or 1M..10M/10dec"));
    QPalette palette = eList_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::green);
    eList_->setPalette(palette);

    lPreview_ = new QLabel(ClientPanel);
    lPreview_->setObjectName(QStringLiteral("LPreview"));
    lPreview_->setGeometry(8, 144, kWidth - 16, 52);
    lPreview_->setFont(ArialFont(11));
    lPreview_->setWordWrap(true);
    lPreview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const int by = kHeight - 29;
    TstSpeedButton *bOk_ =
        Named(MakeButton(ClientPanel, QRect(kWidth - 156, by, 73, 21), QStringLiteral("OK"),
                         QStringLiteral("Adds the new points, each with an empty table")),
              "BOK");
    TstSpeedButton *bCancel_ =
        Named(MakeButton(ClientPanel, QRect(kWidth - 80, by, 73, 21), QStringLiteral("Cancel")),
              "BCancel");
    connect(bOk_, &TstSpeedButton::OnClick, this, &TAddPointsForm::BOKClick);
    connect(bCancel_, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);

    for (TmyFrequencyEdit *edit : {eFrom_, eTo_, eStep_})
        connect(edit, &QLineEdit::textChanged, this, &TAddPointsForm::UpdatePreview);
    connect(ePerDecade_, &QLineEdit::textChanged, this, &TAddPointsForm::UpdatePreview);
    connect(eList_, &QPlainTextEdit::textChanged, this, &TAddPointsForm::UpdatePreview);
    SetKind(TPlanKind::pkRange);
}

std::optional<std::vector<std::uint64_t>>
TAddPointsForm::Run(const FrequencyPlan::TLimits &limits, std::function<bool(std::uint64_t)> exists,
                    std::uint64_t tuned) {
    limits_ = limits;
    exists_ = std::move(exists);
    const auto lowest = std::int64_t(limits.Lowest), highest = std::int64_t(limits.Highest);
    for (TmyFrequencyEdit *edit : {eFrom_, eTo_}) {
        edit->SetMin(lowest);
        edit->SetMax(highest);
    }
    eStep_->SetMin(1);
    eStep_->SetMax(highest);
    if (firstRun_) {
        firstRun_ = false;
        const auto start = std::clamp(std::int64_t(tuned), lowest, highest);
        eFrom_->SetValue(start);
        eTo_->SetValue(start);
        eStep_->SetValue(1'000'000);
    }
    result_.clear();
    UpdatePreview();
    if (ShowModal() != mrOk) return std::nullopt;
    return result_;
}

void TAddPointsForm::SetKind(TPlanKind kind) {
    kind_ = kind;
    bRange_->SetDown(kind == TPlanKind::pkRange);
    bPerDecade_->SetDown(kind == TPlanKind::pkPerDecade);
    bList_->SetDown(kind == TPlanKind::pkList);
    const bool list = kind == TPlanKind::pkList;
    for (QWidget *w : std::initializer_list<QWidget *>{lFrom_, eFrom_, lTo_, eTo_})
        w->setVisible(!list);
    lStep_->setVisible(kind == TPlanKind::pkRange);
    eStep_->setVisible(kind == TPlanKind::pkRange);
    lPerDecade_->setVisible(kind == TPlanKind::pkPerDecade);
    ePerDecade_->setVisible(kind == TPlanKind::pkPerDecade);
    eList_->setVisible(list);
    if (list && isVisible()) eList_->setFocus();
    UpdatePreview();
}

TPlan TAddPointsForm::Plan() const {
    // The fields' typed text counts, so the preview follows the typing.
    const auto from = std::uint64_t(std::max<std::int64_t>(eFrom_->GetValue(), 0));
    const auto to = std::uint64_t(std::max<std::int64_t>(eTo_->GetValue(), 0));
    switch (kind_) {
    case TPlanKind::pkRange:
        return FrequencyPlan::LinearRange(
            from, to, std::uint64_t(std::max<std::int64_t>(eStep_->GetValue(), 0)), limits_);
    case TPlanKind::pkPerDecade:
        return FrequencyPlan::PerDecade(from, to, ePerDecade_->TypedValue(), limits_);
    default:
        return FrequencyPlan::Parse(eList_->toPlainText(), limits_);
    }
}

void TAddPointsForm::UpdatePreview() {
    const TPlan plan = Plan();
    QPalette palette = lPreview_->palette();
    if (!plan.Ok) {
        palette.setColor(QPalette::WindowText, QColor(255, 96, 96));
        lPreview_->setPalette(palette);
        lPreview_->setText(plan.Error.Message);
        return;
    }
    const FrequencyPlan::TSplit split = FrequencyPlan::SplitExisting(plan.Frequencies, exists_);
    QString text = split.New.size() == 1 ? QStringLiteral("1 new point")
                                         : QStringLiteral("%1 new points").arg(split.New.size());
    if (!split.Existing.empty()) {
        QStringList names;
        for (std::size_t i = 0; i < split.Existing.size() && i < std::size_t(kNamed); ++i)
            names << FrequencyText(split.Existing[i]);
        if (split.Existing.size() > std::size_t(kNamed))
            names << QStringLiteral("and %1 more").arg(split.Existing.size() - kNamed);
        text +=
            QStringLiteral("; in the list already, skipped: ") + names.join(QStringLiteral(", "));
    }
    palette.setColor(QPalette::WindowText, QColor(0, 255, 0));
    lPreview_->setPalette(palette);
    lPreview_->setText(text + u'.');
}

void TAddPointsForm::BOKClick() {
    // Leaving the fields takes what was typed.
    ClientPanel->setFocus();
    const TPlan plan = Plan();
    UpdatePreview();
    if (!plan.Ok) throw platform::EInputError(plan.Error.Message);
    std::vector<std::uint64_t> added = FrequencyPlan::SplitExisting(plan.Frequencies, exists_).New;
    if (added.empty())
        throw platform::EInputError(
            QStringLiteral("Every point of the plan is in the list already; nothing to add."));
    result_ = std::move(added);
    SetModalResult(mrOk);
}
