#include "settings/IniFormat.h"

#include <QIODevice>
#include <QMap>

namespace iniformat {

QSettings::Format format()
{
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("ini"), &read, &write, Qt::CaseSensitive);
    return registered;
}

bool read(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    QString section;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray raw = bytes.mid(pos, end - pos);
        pos = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw);
        const QString head = line.trimmed();
        if (head.isEmpty() || head.startsWith(u';') || head.startsWith(u'#'))
            continue;
        if (head.startsWith(u'[') && head.endsWith(u']')) {
            section = head.mid(1, head.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (key.isEmpty())
            continue;
        map.insert(section.isEmpty() ? key : section + u'/' + key, line.mid(eq + 1));
    }
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    QByteArray out;
    const auto valueText = [](const QVariant &value) {
        QString text = value.toString();
        text.replace(u'\r', u' ');
        text.replace(u'\n', u' ');
        return text.toUtf8();
    };
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (!it.key().contains(u'/'))
            out += it.key().toUtf8() + '=' + valueText(it.value()) + '\n';
    }
    QMap<QString, QByteArray> sections; // group => its lines
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        if (slash >= 0)
            sections[it.key().left(slash)] += it.key().mid(slash + 1).toUtf8() + '=' + valueText(it.value()) + '\n';
    }
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!out.isEmpty())
            out += '\n';
        out += '[' + it.key().toUtf8() + "]\n" + it.value();
    }
    return device.write(out) == out.size();
}

} // namespace iniformat
