// The table editor's grid context menu: "Export table as CSV…" and "Import
// table from CSV…" for the one table being edited. The menu asks the editor
// for the point and the table when an entry is chosen, and hands an imported
// table back as a signal, which the editor makes one undo step of; nothing
// reaches the calibration set before the editor's OK.
//
//     auto *menu = new TTableCsvMenu(T, this, [this] { return point_; },
//                                    [this] { return Table(); });
//     connect(menu, &TTableCsvMenu::TableImported, this, &TTableForm::ApplyImportedTable);
#pragma once

#include "calibration/calcsv.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QAction;
class QMenu;
class QWidget;

class TTableCsvMenu : public QObject {
    Q_OBJECT
public:
    // Gives grid the menu (at a right click); owner owns the dialogs and the
    // error boxes.
    TTableCsvMenu(QWidget *grid, QWidget *owner, std::function<TCsvPoint()> point,
                  std::function<TDbmTable()> table);

    QMenu *Menu = nullptr;
    QAction *AExportTable = nullptr;
    QAction *AImportTable = nullptr;

    void AExportTableClick();
    void AImportTableClick();

signals:
    // A table read from a CSV file for the edited point, whole (entries
    // without a line are 0.0).
    void TableImported(const TDbmTable &table);

private:
    void Popup(const QPoint &pos);

    QWidget *grid_;
    QWidget *owner_;
    std::function<TCsvPoint()> point_;
    std::function<TDbmTable()> table_;
};
