// The application object. Its notify() is the toolkit's standard error box: a
// std::exception that escapes an event handler is shown (title: the
// application title, error icon) and the program goes on. Dialog input checks
// throw EInputError for that.
#pragma once

#include <QApplication>

#include <stdexcept>

namespace platform {

class EInputError : public std::runtime_error {
public:
    explicit EInputError(const QString &message)
        : std::runtime_error(message.toStdString()), text_(message) {}
    const QString &text() const { return text_; }

private:
    QString text_;
};

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The title shown in the task bar and on application boxes.
    static QString title();
    static void setTitle(const QString &title);
};

// Shows the standard error box for an exception's message.
void ShowExceptionBox(const std::exception &error);

} // namespace platform
