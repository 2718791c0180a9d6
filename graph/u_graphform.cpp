#include "graph/u_graphform.h"

#include "controls/dialogparts.h"
#include "graph/dbmset.h"
#include "graph/scalgraph.h"

#include <QGuiApplication>
#include <QScreen>

using namespace dialogparts;

namespace {

constexpr int kWidth = 557;
constexpr int kHeight = 406;

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

    TstPanel *P = Named(new TstPanel(ClientPanel), "P");
    P->setGeometry(6, 30, 545, 345);
    P->SetBevelStyle(TBevelStyle::bsGradientInner);
    P->SetBevelWidth(2);
    P->SetParentColor(true);

    Graph = Named(new TSCalGraph(P), "Graph");
    Graph->setFont(ArialFont(11));
    SetAlign(Graph, TAlign::alClient);
    P->Realign();
    Set = new TDBMSet();
    Set->SetColor(clLime);
    Graph->AddSet(Set);
    connect(Graph, &TSCalGraph::OnDBMChanged, this, &TGraphForm::GraphDBMChanged);
    connect(Graph, &TSCalGraph::OnDragStarted, this, [this] { emit DragStarted(); });
    connect(Graph, &TSCalGraph::OnDragFinished, this, [this] { emit DragFinished(); });

    TstSpeedButton *stSpeedButton3 =
        Named(MakeButton(ClientPanel, QRect(478, 379, 73, 21), QStringLiteral("Close")),
              "stSpeedButton3");
    connect(stSpeedButton3, &TstSpeedButton::OnClick, this, &TstForm::SysBtnCloseClick);
}

void TGraphForm::SetTable(const TDbmTable &values, const QString &caption) {
    TUpdateGuard update(Graph);
    Set->SetName(caption);
    for (int raw = 0; raw < static_cast<int>(values.size()); ++raw)
        Set->SetDBM(raw, values[static_cast<std::size_t>(raw)]);
}

void TGraphForm::SetValue(int raw, double value) {
    Set->SetDBM(raw, value);
}

void TGraphForm::GraphDBMChanged(TSCalGraph *, TDBMSet *set, int raw) {
    emit DBMChanged(raw, set->DBM(raw));
}
