// Shared helpers of the tests: message boxes answered and recorded, the
// registry redirected to a temporary folder, and pixel access.
#pragma once

#include "platform/filedialog.h"
#include "platform/messagebox.h"

#include <QImage>
#include <QPaintEvent>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

// Records every message box while alive and answers each with `answer`.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : answer_(answer) {
        previous_ = platform::SetMessageBoxResponder([this](const platform::MessageBoxRequest &r) {
            boxes.push_back(r);
            return answer_;
        });
    }
    ~MessageBoxRecorder() { platform::SetMessageBoxResponder(std::move(previous_)); }
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    void setAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    std::vector<platform::MessageBoxRequest> boxes;

private:
    QMessageBox::StandardButton answer_;
    platform::MessageBoxResponder previous_;
};

// Records every file dialog while alive and answers each with the next of
// `answers` (an empty text, or none left, is a cancel).
class FileDialogRecorder {
public:
    explicit FileDialogRecorder(QStringList answers = {}) : answers_(std::move(answers)) {
        previous_ = platform::SetFileDialogResponder([this](const platform::FileDialogRequest &r) {
            requests.push_back(r);
            return answers_.isEmpty() ? QString() : answers_.takeFirst();
        });
    }
    ~FileDialogRecorder() { platform::SetFileDialogResponder(std::move(previous_)); }
    FileDialogRecorder(const FileDialogRecorder &) = delete;
    FileDialogRecorder &operator=(const FileDialogRecorder &) = delete;

    void answer(const QString &path) { answers_.append(path); }
    std::vector<platform::FileDialogRequest> requests;

private:
    QStringList answers_;
    platform::FileDialogResponder previous_;
};

// Points the user and system registry scopes at a fresh temporary folder.
class TemporaryRegistry {
public:
    TemporaryRegistry() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path() + "/user");
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                           dir_.path() + "/system");
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// A window's control (or action) found by its objectName, as a user finds it
// by what it is; a missing one throws, which fails the test.
template <typename T = QWidget> T &Child(const QObject &window, const char *name) {
    T *child = window.findChild<T *>(QLatin1String(name));
    if (!child) throw std::runtime_error(std::string("no control named ") + name);
    return *child;
}

// A left click in the middle of a control.
inline void Click(QWidget &control) {
    QTest::mouseClick(&control, Qt::LeftButton, {}, control.rect().center());
}

// Counts the paint events a widget receives and keeps their rectangles.
struct PaintCounter : QObject {
    std::vector<QRect> rects;
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            rects.push_back(static_cast<QPaintEvent *>(event)->rect());
        return false;
    }
};

// The widget rendered as the user would see it.
inline QImage Render(QWidget &widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb Pixel(const QImage &image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// The folder the build puts the program and the components in.
inline QString BinDir() {
    return QStringLiteral(K740_BIN_DIR);
}

} // namespace testsupport
