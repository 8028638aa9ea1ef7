// Vantorel: the program's entry.

#include <QApplication>

#include <cstring>

#include "mainwindow/application.h"

int main(int argc, char* argv[]) {
    QApplication qtApplication(argc, argv);
    // The program ends with its main window, whatever other window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    vt::ApplicationOptions options;
    // Only the first argument counts, and only when it is exactly "local".
    options.localArgument = argc > 1 && std::strcmp(argv[1], "local") == 0;

    vt::Application application(options);
    // A termination request met during the creation or the first showing has already ended
    // the program; the event loop would not see it.
    if (application.finished()) {
        return 0;
    }
    application.show();
    return application.finished() ? 0 : QApplication::exec();
}
