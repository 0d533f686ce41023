#include "settings/RecentFiles.h"

#include "document/NativeName.h"
#include "settings/SettingsError.h"

#include <QByteArray>
#include <QFileInfo>

#include <utility>

namespace {

const QString kSection = QStringLiteral("ZuletztGeoeffnet");

QString key(int index)
{
    return QStringLiteral("Datei") + QString::number(index + 1);
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

RecentFiles::RecentFiles(SettingsStore store) : m_store(std::move(store)) {}

QString RecentFiles::encode(const QString &path)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    QString value;
    value.reserve(path.size());
    const auto escape = [&](unsigned byte) {
        value += u'%';
        value += QChar(kHex[byte >> 4]);
        value += QChar(kHex[byte & 0xF]);
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        // nativename keeps a byte that is not UTF-8 as U+DC00 + byte (a low surrogate without a
        // high one before it).
        const bool rawByte = c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && path[i - 1].isHighSurrogate());
        if (rawByte)
            escape(c - 0xDC00);
        else if (c == u'%' || c < 0x20 || c == 0x7F)
            escape(c);
        else
            value += path[i];
    }
    return value;
}

QString RecentFiles::decode(const QString &value)
{
    return nativename::fromNative(QByteArray::fromPercentEncoding(value.toUtf8()));
}

QStringList RecentFiles::readList()
{
    QStringList list;
    for (int i = 0; i < kMaxFiles; ++i) {
        const std::optional<QString> value = m_store.read(kSection, key(i));
        if (!value || value->isEmpty())
            continue;
        const QString path = decode(*value);
        if (!list.contains(path))
            list << path;
    }
    return list;
}

template <class Change>
void RecentFiles::update(Change &&change)
{
    m_store.update([&] {
        QStringList list = readList();
        change(list);
        for (int i = 0; i < kMaxFiles; ++i) {
            if (i < list.size())
                m_store.write(kSection, key(i), encode(list[i]));
            else
                m_store.remove(kSection, key(i));
        }
    });
}

QStringList RecentFiles::paths()
{
    try {
        m_store.close(); // what another instance wrote since counts
        return readList();
    } catch (const SettingsError &) {
        return {};
    }
}

void RecentFiles::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    update([&](QStringList &list) {
        list.removeAll(absolute);
        list.prepend(absolute);
        while (list.size() > kMaxFiles)
            list.removeLast();
    });
}

void RecentFiles::remove(const QString &path)
{
    update([&](QStringList &list) { list.removeAll(path); });
}

void RecentFiles::clear()
{
    update([](QStringList &list) { list.clear(); });
}

QString RecentFiles::menuText(int index, const QString &path)
{
    QString name = fileNameOf(path);
    name.replace(u'&', QStringLiteral("&&"));
    return u'&' + QString::number(index + 1) + u' ' + name;
}

QString RecentFiles::missingFileText(const QString &path)
{
    return QStringLiteral("Die Datei „%1“ gibt es nicht mehr.").arg(fileNameOf(path));
}
