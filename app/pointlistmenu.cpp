#include "app/pointlistmenu.h"

#include "dialogs/tablecsv.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

TPointListMenu::TPointListMenu(QWidget *list, QWidget *owner, std::function<TPointListSet()> set)
    : QObject(list), owner_(owner), set_(std::move(set)) {
    if (!list->actions().isEmpty()) {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        list->addAction(separator);
    }
    AExportPoints = new QAction(TableCsv::ExportPointsText(), this);
    AExportPoints->setObjectName(QStringLiteral("AExportPoints"));
    connect(AExportPoints, &QAction::triggered, this, &TPointListMenu::AExportPointsClick);
    list->addAction(AExportPoints);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    list->installEventFilter(this);
}

bool TPointListMenu::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ContextMenu) AExportPoints->setEnabled(set_().Loaded);
    return QObject::eventFilter(watched, event);
}

void TPointListMenu::AExportPointsClick() {
    const TPointListSet set = set_();
    if (!set.Loaded) return;
    TableCsv::ExportPoints(owner_, set.Cal, set.Receiver, set.Mode, set.FileName);
}
