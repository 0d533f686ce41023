#pragma once

#include "editing/UndoRecorder.h"

#include <QString>

namespace editing {

// Makes everything that changes the lists while it lives one step of the undo history:
//   UndoStep step(recorder, QStringLiteral("Eintrag löschen"));
// A bracket that records no change leaves no step.
class UndoStep {
public:
    UndoStep(UndoRecorder &recorder, const QString &name) : m_recorder(recorder) { m_recorder.beginStep(name); }
    ~UndoStep() { m_recorder.endStep(); }
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

private:
    UndoRecorder &m_recorder;
};

} // namespace editing
