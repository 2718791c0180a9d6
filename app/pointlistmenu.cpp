#include "app/pointlistmenu.h"

#include "dialogs/tablecsv.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

TPointListMenu::TPointListMenu(QWidget *list, QWidget *owner, std::function<TPointListSet()> set)
    : QObject(list), list_(list), owner_(owner), set_(std::move(set)) {
    Menu = new QMenu(owner);
    AExportPoints = Menu->addAction(TableCsv::ExportPointsText());
    connect(AExportPoints, &QAction::triggered, this, &TPointListMenu::AExportPointsClick);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &TPointListMenu::Popup);
}

void TPointListMenu::Popup(const QPoint &pos) {
    AExportPoints->setEnabled(set_().Loaded);
    Menu->popup(list_->mapToGlobal(pos));
}

void TPointListMenu::AExportPointsClick() {
    const TPointListSet set = set_();
    if (!set.Loaded) return;
    TableCsv::ExportPoints(owner_, set.Cal, set.Receiver, set.Mode, set.FileName);
}
