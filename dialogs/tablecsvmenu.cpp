#include "dialogs/tablecsvmenu.h"

#include "dialogs/tablecsv.h"

#include <QAction>
#include <QWidget>

TTableCsvMenu::TTableCsvMenu(QWidget *grid, QWidget *owner, std::function<TCsvPoint()> point,
                             std::function<TDbmTable()> table)
    : QObject(grid), owner_(owner), point_(std::move(point)), table_(std::move(table)) {
    if (!grid->actions().isEmpty()) {
        auto *separator = new QAction(this);
        separator->setSeparator(true);
        grid->addAction(separator);
    }
    AExportTable = new QAction(TableCsv::ExportTableText(), this);
    AExportTable->setObjectName(QStringLiteral("AExportTable"));
    AImportTable = new QAction(TableCsv::ImportTableText(), this);
    AImportTable->setObjectName(QStringLiteral("AImportTable"));
    connect(AExportTable, &QAction::triggered, this, &TTableCsvMenu::AExportTableClick);
    connect(AImportTable, &QAction::triggered, this, &TTableCsvMenu::AImportTableClick);
    grid->addAction(AExportTable);
    grid->addAction(AImportTable);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TTableCsvMenu::AExportTableClick() {
    TableCsv::ExportTable(owner_, point_(), table_());
}

void TTableCsvMenu::AImportTableClick() {
    TDbmTable table = table_();
    if (TableCsv::ImportTable(owner_, point_(), table)) emit TableImported(table);
}
