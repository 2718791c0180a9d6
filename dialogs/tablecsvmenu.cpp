#include "dialogs/tablecsvmenu.h"

#include "dialogs/tablecsv.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

TTableCsvMenu::TTableCsvMenu(QWidget *grid, QWidget *owner, std::function<TCsvPoint()> point,
                             std::function<TDbmTable()> table)
    : QObject(grid), grid_(grid), owner_(owner), point_(std::move(point)),
      table_(std::move(table)) {
    Menu = new QMenu(owner);
    AExportTable = Menu->addAction(TableCsv::ExportTableText());
    AImportTable = Menu->addAction(TableCsv::ImportTableText());
    connect(AExportTable, &QAction::triggered, this, &TTableCsvMenu::AExportTableClick);
    connect(AImportTable, &QAction::triggered, this, &TTableCsvMenu::AImportTableClick);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, &TTableCsvMenu::Popup);
}

void TTableCsvMenu::Popup(const QPoint &pos) {
    Menu->popup(grid_->mapToGlobal(pos));
}

void TTableCsvMenu::AExportTableClick() {
    TableCsv::ExportTable(owner_, point_(), table_());
}

void TTableCsvMenu::AImportTableClick() {
    TDbmTable table = table_();
    if (TableCsv::ImportTable(owner_, point_(), table)) emit TableImported(table);
}
