#pragma once

#include <QSettings>

// A plain INI format for QSettings that keeps keys literal and values verbatim.
//
// Unlike the stock INI format it neither escapes characters in keys ("MinMaxPos(1280x1024)" stays as
// it is) nor reads a value as a list ("223,115,1222,704" stays one text). The file is UTF-8:
//   [TMainForm]
//   NormPos=223,115,1222,704
// Reading is lenient: lines without "=" and comment lines (";" or "#") are skipped, the key is trimmed
// of blanks, the value is everything after the first "=" up to the line end (a final CR is dropped),
// and a later duplicate key wins. Keys outside a section are top-level keys.
namespace iniformat {

// The format, registered with QSettings at the first call; keys are matched exactly, case included.
QSettings::Format format();

// The read and write functions of the format; the map's keys are "section/name".
bool read(QIODevice &device, QSettings::SettingsMap &map);
// Top-level keys first, then one section per group in key order. A line break inside a value is
// written as a blank, since a value is one line.
bool write(QIODevice &device, const QSettings::SettingsMap &map);

} // namespace iniformat
