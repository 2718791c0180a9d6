#include "platform/application.h"

#include <QWidget>

int main(int argc, char **argv) {
    platform::Application app(argc, argv);
    platform::Application::setTitle(QStringLiteral("S-Meter Calibrator for ZX-K740"));
    QWidget window;
    window.setWindowTitle(platform::Application::title());
    window.resize(680, 560);
    window.show();
    return app.exec();
}
