#include "ui/HeadingFont.h"

#include <QFontDatabase>

namespace headingfont {

QStringList preferredFamilies()
{
    return {QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
}

QStringList installed(const QStringList &families)
{
    const QStringList known = QFontDatabase::families();
    QStringList present;
    for (const QString &family : families) {
        if (known.contains(family, Qt::CaseInsensitive))
            present << family;
    }
    return present.isEmpty() ? families : present;
}

QFont make(int pixelSize)
{
    QFont font;
    font.setFamilies(installed(preferredFamilies()));
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Black);
    return font;
}

} // namespace headingfont
