// The table editor's grid context menu entries "Export table as CSV…" and
// "Import table from CSV…" for the one table being edited. They join the
// grid's own context menu actions (after a separator when it has some). The
// entries ask the editor for the point and the table when chosen, and an
// imported table comes back as a signal, which the editor makes one undo
// step of; nothing reaches the calibration set before the editor's OK.
//
//     auto *csv = new TTableCsvMenu(T, this, [this] { return Point(); },
//                                   [this] { return Table(); });
//     connect(csv, &TTableCsvMenu::TableImported, this, [this](const TDbmTable &t) {
//         ChangeTable(t, QStringLiteral("Import CSV"));
//     });
#pragma once

#include "calibration/calcsv.h"

#include <QObject>

#include <functional>

class QAction;
class QWidget;

class TTableCsvMenu : public QObject {
    Q_OBJECT
public:
    // Adds the entries to grid's context menu; owner owns the file dialogs
    // and the error boxes.
    // The entries are the actions "AExportTable" and "AImportTable".
    TTableCsvMenu(QWidget *grid, QWidget *owner, std::function<TCsvPoint()> point,
                  std::function<TDbmTable()> table);

signals:
    // A table read from a CSV file for the edited point, whole (entries
    // without a line are 0.0).
    void TableImported(const TDbmTable &table);

private:
    void AExportTableClick();
    void AImportTableClick();

    QAction *AExportTable = nullptr;
    QAction *AImportTable = nullptr;
    QWidget *owner_;
    std::function<TCsvPoint()> point_;
    std::function<TDbmTable()> table_;
};
