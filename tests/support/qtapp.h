#pragma once
// The one QApplication of the window tests, created on first use and kept for the
// whole run (gtest_main owns main()).

#include <QApplication>

inline QApplication& testApp() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
