#pragma once

#include "document/Bracket.h"
#include "editing/UndoRecorder.h"

#include <QString>

namespace editing {

// Makes everything that changes the lists while it lives one step of the undo history:
//   UndoStep step(recorder, QStringLiteral("Eintrag löschen"));
// A bracket that records no change leaves no step. A scope left by an exception takes back what it
// changed: the lists and the history stay as they were.
class UndoStep : Bracket {
public:
    UndoStep(UndoRecorder &recorder, const QString &name) : m_recorder(recorder) { m_recorder.beginStep(name); }
    ~UndoStep() { m_recorder.endStep(unwinding()); }

private:
    UndoRecorder &m_recorder;
};

} // namespace editing
