// The yardstick of the start-up benchmark: a bare main window with one tree view, built by the same
// build and linked against nothing but Qt Widgets and the start-up probe.
#include "ui/StartupProbe.h"

#include <QApplication>
#include <QMainWindow>
#include <QTreeView>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    startupprobe::installIfAsked(app);
    QMainWindow window;
    window.setCentralWidget(new QTreeView(&window));
    window.resize(999, 589);
    window.show();
    return app.exec();
}
