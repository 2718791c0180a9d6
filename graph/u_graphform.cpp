#include "graph/u_graphform.h"

#include <QGuiApplication>
#include <QScreen>

TGraphForm *GraphForm = nullptr;

namespace {

QFont ArialPixels(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

// Restores the graph's updates however the loading ends.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TSCalGraph *graph) : graph_(graph) { graph_->BeginUpdate(); }
    ~TUpdateGuard() { graph_->EndUpdate(); }
    TUpdateGuard(const TUpdateGuard &) = delete;
    TUpdateGuard &operator=(const TUpdateGuard &) = delete;

private:
    TSCalGraph *graph_;
};

} // namespace

TGraphForm::TGraphForm(QWidget *parent)
    : TstForm(QStringLiteral("Graph"), TFrameKind::fkDialog, parent) {
    SetSize(kWidth, kHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

    P = new TstPanel(ClientPanel);
    P->setGeometry(6, 30, 545, 345);
    P->SetBevelStyle(TBevelStyle::bsGradientInner);
    P->SetBevelWidth(2);
    P->SetParentColor(true);

    Graph = new TSCalGraph(P);
    Graph->setFont(ArialPixels(11));
    SetAlign(Graph, TAlign::alClient);
    P->Realign();
    Set = new TDBMSet();
    Set->SetColor(clLime);
    Graph->AddSet(Set);
    connect(Graph, &TSCalGraph::OnDBMChanged, this, &TGraphForm::GraphDBMChanged);
    connect(Graph, &TSCalGraph::OnDragStarted, this, [this] { emit DragStarted(); });
    connect(Graph, &TSCalGraph::OnDragFinished, this, [this] { emit DragFinished(); });

    stSpeedButton3 = new TstSpeedButton(ClientPanel);
    stSpeedButton3->setGeometry(478, 379, 73, 21);
    stSpeedButton3->SetCaption(QStringLiteral("Close"));
    stSpeedButton3->SetBorderWidth(1);
    stSpeedButton3->SetBorderColor(3158064);
    stSpeedButton3->SetColor(6513507);
    stSpeedButton3->SetColorDown(6513507);
    stSpeedButton3->SetColorDisabled(6513507);
    stSpeedButton3->setFont(ArialPixels(11));
    stSpeedButton3->SetFontColor(clLime);
    stSpeedButton3->SetFontColorDown(clLime);
    stSpeedButton3->SetFontColorDisabled(clGray);
    connect(stSpeedButton3, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);
}

TGraphForm::~TGraphForm() {
    if (GraphForm == this) GraphForm = nullptr;
}

void TGraphForm::SetTable(const TDbmTable &values, const QString &caption) {
    TUpdateGuard update(Graph);
    Set->SetName(caption);
    for (int raw = 0; raw < static_cast<int>(values.size()); ++raw)
        Set->SetDBM(raw, values[static_cast<std::size_t>(raw)]);
}

void TGraphForm::GraphDBMChanged(TSCalGraph *, TDBMSet *set, int raw) {
    emit DBMChanged(raw, set->DBM(raw));
}
