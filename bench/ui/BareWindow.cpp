// The yardstick of the start-up benchmark: a bare main window with one tree view, built by the same
// build and linked against nothing but Qt Widgets and the start-up probe (which installs itself). Its
// empty tree view paints no text at all, so it never loads a font; with the argument --header-text the
// view's header shows two column titles, which is the least text a window can paint.
#include <QApplication>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTreeView>

#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *view = new QTreeView(&window);
    if (argc > 1 && std::strcmp(argv[1], "--header-text") == 0) {
        auto *model = new QStandardItemModel(0, 2, view);
        model->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Baugruppe")});
        view->setModel(model);
    }
    window.setCentralWidget(view);
    window.resize(999, 589);
    window.show();
    return app.exec();
}
