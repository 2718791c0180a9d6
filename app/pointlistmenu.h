// The main window's point list context menu: "Export all points as CSV…",
// the tables of every point of the list (the receiver and calibration mode
// the list shows) in one CSV file. The entry is usable while a calibration
// set is open.
//
//     PointListMenu = new TPointListMenu(F, this, [this] {
//         return TPointListSet{CalLoaded, CalHandle, "ZX-K740", mode, CalFileName};
//     });
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>

class QAction;
class QMenu;
class QWidget;

// What the list shows, asked for when the menu opens and when it is used.
struct TPointListSet {
    bool Loaded = false;
    std::int32_t Cal = -1;
    QByteArray Receiver;
    std::int32_t Mode = -1;
    QString FileName; // the calibration file, for the proposed CSV name
};

class TPointListMenu : public QObject {
    Q_OBJECT
public:
    TPointListMenu(QWidget *list, QWidget *owner, std::function<TPointListSet()> set);

    QMenu *Menu = nullptr;
    QAction *AExportPoints = nullptr;

    void AExportPointsClick();

private:
    void Popup(const QPoint &pos);

    QWidget *list_;
    QWidget *owner_;
    std::function<TPointListSet()> set_;
};
