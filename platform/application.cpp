#include "platform/application.h"

#include "platform/messagebox.h"

namespace platform {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowExceptionBox(error);
        return true;
    }
}

QString Application::title() { return QGuiApplication::applicationDisplayName(); }

void Application::setTitle(const QString &title) { QGuiApplication::setApplicationDisplayName(title); }

void ShowExceptionBox(const std::exception &error) {
    const auto *input = dynamic_cast<const EInputError *>(&error);
    const QString text = input ? input->text() : QString::fromUtf8(error.what());
    ShowMessageBox({QApplication::activeWindow(), text, Application::title(), QMessageBox::Critical,
                    QMessageBox::Ok, QMessageBox::Ok});
}

} // namespace platform
