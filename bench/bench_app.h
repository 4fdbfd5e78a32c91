// The application object the widget benchmarks need; they run without a display.
#pragma once

#include <QApplication>

inline QApplication &benchApplication()
{
    if (auto *running = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return *running;
    static int argc = 1;
    static char name[] = "orvel-bench";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}
