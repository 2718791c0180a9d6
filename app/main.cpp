#include "app/k740scalib.h"
#include "platform/application.h"

#include <exception>

int main(int argc, char **argv) {
    platform::Application app(argc, argv);
    try {
        return RunK740scalib();
    } catch (const std::exception &error) {
        platform::ShowExceptionBox(error);
        return 1;
    }
}
