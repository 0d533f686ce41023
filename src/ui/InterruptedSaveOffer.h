#pragma once

#include <QString>

class Prompts;

// The question at start-up about saves that wrote a file in place and were cut short.
namespace interruptedsaveoffer {

// Asks about each, oldest first (caption "Wiederherstellen", Ja default): Ja writes the whole new
// version to the file, Nein moves it into "verworfen" and leaves the file as it is; a box closed
// without an answer leaves both for the next start. A failure is shown and leaves them too.
// The list file to open: the last list file (".mal") written back, else `startFile`.
QString ask(Prompts &prompts, const QString &startFile);

} // namespace interruptedsaveoffer
