#pragma once

#include <QByteArray>
#include <QString>

// File names as the system gives them: bytes, mostly but not always UTF-8. A byte that is not part
// of a valid UTF-8 sequence is kept in the text as the unpaired surrogate U+DC00 + byte, so that a
// name read from the command line leads back to the very same file:
//   fromNative("m\xe4ngel.mal") == u"m\udce4ngel.mal",  toNative(that) == "m\xe4ngel.mal"
// Valid UTF-8 converts as usual, so for every other name both are QFile::decodeName/encodeName.
namespace nativename {

QString fromNative(const QByteArray &bytes);
QByteArray toNative(const QString &name);

} // namespace nativename
