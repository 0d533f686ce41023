#include "ui/MainUnit.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TMainForm form;
    form.FormCreate();
    form.show();
    return app.exec();
}
