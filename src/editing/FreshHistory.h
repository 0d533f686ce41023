#pragma once

#include "document/Bracket.h"
#include "editing/UndoRecorder.h"

namespace editing {

// Leaves the changes made while it lives out of the undo history (loading or emptying the whole
// document); when any change was made, the history starts afresh as it ends:
//   FreshHistory fresh(recorder);
class FreshHistory : Bracket {
public:
    explicit FreshHistory(UndoRecorder &recorder) : m_recorder(recorder) { m_recorder.beginUnrecorded(); }
    ~FreshHistory() { m_recorder.endUnrecorded(); }

private:
    UndoRecorder &m_recorder;
};

} // namespace editing
