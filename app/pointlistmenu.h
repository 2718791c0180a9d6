// The main window's point list context menu entries "Add points…" (many
// points at once, run by `addPoints`) and "Export all points as CSV…": the
// tables of every point of the list (the receiver and calibration mode the
// list shows) in one CSV file. They join the list's context menu actions and
// are usable while a calibration set is open.
//
//     PointListMenu = new TPointListMenu(F, this, [this] {
//         return TPointListSet{CalLoaded, CalHandle, "ZX-K740", mode, CalFileName};
//     }, [this] { points_->AddPoints(); });
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QAction;
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
    // The entries are the actions "AAddPoints" (only with `addPoints`) and
    // "AExportPoints".
    TPointListMenu(QWidget *list, QWidget *owner, std::function<TPointListSet()> set,
                   std::function<void()> addPoints = {});

    // Sets the entry's state before the list's context menu opens.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AExportPointsClick();

    QAction *AAddPoints = nullptr;
    QAction *AExportPoints = nullptr;
    QWidget *owner_;
    std::function<TPointListSet()> set_;
};
