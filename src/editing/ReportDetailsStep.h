#pragma once

#include "document/ReportDetails.h"

class ListDocument;

namespace editing {

class UndoRecorder;

// Gives the document new report details as one step of the undo history, "Berichtsangaben
// ändern"; undo and redo put back the details on either side of it. Details equal to the
// document's are no change: false, and no step. Called outside any open UndoStep.
bool changeReportDetails(UndoRecorder &recorder, ListDocument &document, const ReportDetails &details);

} // namespace editing
