#pragma once

#include <QObject>

#include <functional>

class LeftCopies;
class ListDocument;
class Prompts;
class RecoveryCopy;
namespace editing {
class UndoRecorder;
}

// The start-up offer of the recovery copies that programs which did not end normally left behind.
namespace recoveryoffer {

// Asks about each copy in turn (caption "Wiederherstellen"), newest first. Ja restores its lists
// into the document, under the name they had, makes it this run's copy and asks no more (the others
// wait for the next start); Nein moves it into "verworfen" and goes on to the next. A copy that
// cannot be read is named in a message and moved there too. True when a copy was restored.
bool ask(LeftCopies &copies, Prompts &prompts, ListDocument &document, RecoveryCopy &copy);

// The start: when no copy waits, runs start(false) at once (the start file's load, the watch).
// Otherwise start waits: once the window is shown the copies are offered, outside the undo history,
// and start(restored) follows.
void atStart(QObject &window, Prompts &prompts, ListDocument &document, RecoveryCopy &copy,
             editing::UndoRecorder &undo, std::function<void(bool restored)> start);

} // namespace recoveryoffer
