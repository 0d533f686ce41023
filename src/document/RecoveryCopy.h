#pragma once

#include "document/FileError.h"
#include "document/RecoveryFile.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

class ListDocument;
class Prompts;

// When the recovery copy is due: no later than a few seconds after the first change since the last
// copy was taken, and no sooner than kIntervalMs after the last attempt, so that a long burst of
// changes is copied every ten seconds. Times are milliseconds on a clock that only moves forward.
struct RecoverySchedule {
    static constexpr qint64 kIntervalMs = 10'000;

    std::optional<qint64> firstChange; // the first change not yet taken into a copy
    std::optional<qint64> lastAttempt;

    void changed(qint64 now)
    {
        if (!firstChange)
            firstChange = now;
    }
    bool due(qint64 now) const { return firstChange && (!lastAttempt || now - *lastAttempt >= kIntervalMs); }
    // A snapshot was taken now: later changes wait for the next copy.
    void attempted(qint64 now)
    {
        lastAttempt = now;
        firstChange.reset();
    }
    // That copy could not be written: its changes wait for the next interval.
    void failed()
    {
        if (lastAttempt)
            changed(*lastAttempt);
    }
    // The document matches its files: nothing to copy.
    void nothingToKeep() { firstChange.reset(); }
};

// The recovery copy of this run: while the document holds changes not in its file, a snapshot of it
// is written into the recovery folder (recoveryfile) on a thread of its own, so the window never
// waits for the disk. The copy goes once the document matches its files again (a save that wrote
// both files, Open, New) and at the program's normal end. A lock file held for the whole run tells
// this copy from one a program left that is no longer running.
//
// A copy that cannot be written is tried again at the next interval; the first such failure of a
// run is shown ("Wiederherstellungskopie").
class RecoveryCopy : public QObject {
    Q_OBJECT

public:
    // Milliseconds on a clock that only moves forward; tests give a clock of their own.
    using Clock = std::function<qint64()>;

    RecoveryCopy(ListDocument &document, Prompts &prompts, Clock clock = {}, QObject *parent = nullptr);
    // The normal end: waits for a write under way, then removes the copy and its lock file.
    ~RecoveryCopy() override;

    // This run's copy; it exists while there are changes to keep.
    const QString &path() const { return m_path; }
    // Writes a copy when one is due; the copy's own timer calls it once a second.
    void tick();
    // Waits for the writes and removals under way and handles their outcome (tests, and before a
    // copy is taken over).
    void settle();
    // Makes a copy an earlier run left behind this run's copy, as when its lists were just restored
    // into the document. False (the file left where it was) when it cannot be moved.
    bool adopt(const QString &file);

signals:
    // A write ended; error.code == 0: the copy is on disk.
    void writeFinished(FileError error);

private:
    void finished(quint64 generation, FileError error);
    void dropCopy();
    // On the worker: the folder and this run's lock, then the copy.
    FileError writeOwn(const recoveryfile::Snapshot &snapshot);
    FileResult<void> holdLock();

    ListDocument &m_document;
    Prompts &m_prompts;
    Clock m_clock;
    QString m_path;
    QString m_lockPath;
    RecoverySchedule m_schedule;
    QTimer m_timer;
    // One thread, so that writes and removals happen in the order they were asked for.
    QThreadPool m_worker;
    bool m_busy = false;
    bool m_warned = false;
    // Counts the times the document matched its files: a write begun before then is out of date.
    quint64 m_generation = 0;
    int m_lockFd = -1; // touched on the worker only (or while it is idle)
};
