#pragma once

#include "document/FileError.h"

#include <QDateTime>
#include <QString>

// The folder of recovery copies of this user: $XDG_STATE_HOME/maengelliste when XDG_STATE_HOME is an absolute
// path, else ~/.local/state/maengelliste; and its subfolder "verworfen" for copies the user turned down.
namespace RecoveryFolder {

QString path();
QString discardedPath();
// Creates the folder (mode 0700) when missing.
FileResult<void> ensure();
// Moves `file` into "verworfen" (created when missing), under a name that does not clash, then keeps only
// the newest 10 files there (by modification time). Never deletes `file` itself; a failure leaves it in place.
FileResult<void> discard(const QString &file);
// A moment as the recovery questions name it, in local time: "08.12.2026 um 14:03".
QString when(const QDateTime &moment);

} // namespace RecoveryFolder
