#include "app/pointlistmenu.h"

#include "dialogs/tablecsv.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

TPointListMenu::TPointListMenu(QWidget *list, QWidget *owner, std::function<TPointListSet()> set,
                               std::function<void()> addPoints)
    : QObject(list), owner_(owner), set_(std::move(set)) {
    if (!list->actions().isEmpty()) {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        list->addAction(separator);
    }
    if (addPoints) {
        AAddPoints = new QAction(QStringLiteral("Add points…"), this);
        AAddPoints->setObjectName(QStringLiteral("AAddPoints"));
        connect(AAddPoints, &QAction::triggered, this, std::move(addPoints));
        list->addAction(AAddPoints);
    }
    AExportPoints = new QAction(TableCsv::ExportPointsText(), this);
    AExportPoints->setObjectName(QStringLiteral("AExportPoints"));
    connect(AExportPoints, &QAction::triggered, this, &TPointListMenu::AExportPointsClick);
    list->addAction(AExportPoints);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    list->installEventFilter(this);
}

bool TPointListMenu::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ContextMenu) {
        const bool loaded = set_().Loaded;
        if (AAddPoints) AAddPoints->setEnabled(loaded);
        AExportPoints->setEnabled(loaded);
    }
    return QObject::eventFilter(watched, event);
}

void TPointListMenu::AExportPointsClick() {
    const TPointListSet set = set_();
    if (!set.Loaded) return;
    TableCsv::ExportPoints(owner_, set.Cal, set.Receiver, set.Mode, set.FileName);
}
