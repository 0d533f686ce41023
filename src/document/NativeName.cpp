#include "document/NativeName.h"

#include <QFile>

namespace nativename {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[i], or 0 when none starts there.
qsizetype validSequence(const QByteArray &bytes, qsizetype i)
{
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (qsizetype k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

bool isEscape(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

} // namespace

QString fromNative(const QByteArray &bytes)
{
    QString name;
    qsizetype run = 0; // start of the valid bytes not yet converted
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + run, i - run);
        name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
        run = ++i;
    }
    if (run == 0)
        return QFile::decodeName(bytes);
    return name + QString::fromUtf8(bytes.constData() + run, bytes.size() - run);
}

QByteArray toNative(const QString &name)
{
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        // A low surrogate after a high one is half of a pair, not an escaped byte.
        if (!isEscape(c) || (i > 0 && name[i - 1].isHighSurrogate()))
            continue;
        bytes += name.mid(run, i - run).toUtf8();
        bytes += char(c - kEscapeBase);
        run = i + 1;
    }
    if (run == 0)
        return QFile::encodeName(name);
    return bytes + name.mid(run).toUtf8();
}

} // namespace nativename
