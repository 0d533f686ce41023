#include "WindowFixture.h"

#include <QLabel>

QString WindowFixture::status() const
{
    return form->StatusBar1Text()->text();
}
