#include "document/RecoveryCopy.h"

#include "document/ListDocument.h"
#include "document/Prompts.h"
#include "document/RecoveryFile.h"
#include "document/RecoveryFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>
#include <unistd.h>

namespace {
qint64 steadyMilliseconds()
{
    static QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}
} // namespace

RecoveryCopy::RecoveryCopy(ListDocument &document, Prompts &prompts, Clock clock, QObject *parent)
    : QObject(parent),
      m_document(document),
      m_prompts(prompts),
      m_clock(clock ? std::move(clock) : Clock(&steadyMilliseconds))
{
    // Unique among the programs running now and those before: the process, the moment, and a count
    // for documents of one process made in the same millisecond.
    static std::atomic<int> made{0};
    const QString id = QStringLiteral("%1%2-%3-%4")
                           .arg(QString::fromLatin1(recoveryfile::kCopyPrefix))
                           .arg(::getpid())
                           .arg(QDateTime::currentMSecsSinceEpoch())
                           .arg(made++);
    m_path = RecoveryFolder::path() + u'/' + id + QString::fromLatin1(recoveryfile::kCopySuffix);
    m_lockPath = recoveryfile::lockPathOf(m_path);
    m_worker.setMaxThreadCount(1);
    connect(&document, &ListDocument::changed, this, [this] { m_schedule.changed(m_clock()); });
    connect(&document, &ListDocument::unsavedChangesGone, this, &RecoveryCopy::dropCopy);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopy::tick);
    m_timer.start();
}

RecoveryCopy::~RecoveryCopy()
{
    m_worker.waitForDone();
    if (m_lockFd >= 0) {
        QFile::remove(m_path);
        recoveryfile::releaseLock(m_lockPath, m_lockFd);
    }
}

void RecoveryCopy::tick()
{
    const qint64 now = m_clock();
    if (m_busy || !m_document.hasUnsavedChanges() || !m_schedule.due(now))
        return;
    m_schedule.attempted(now);
    recoveryfile::Snapshot snapshot;
    try {
        snapshot = recoveryfile::take(m_document, QDateTime::currentDateTimeUtc());
    } catch (const std::bad_alloc &) {
        finished(m_generation, FileError{ENOMEM});
        return;
    }
    m_busy = true;
    const quint64 generation = m_generation;
    m_worker.start([this, snapshot = std::move(snapshot), generation] {
        const FileError error = writeOwn(snapshot);
        QMetaObject::invokeMethod(this, [this, generation, error] { finished(generation, error); },
                                  Qt::QueuedConnection);
    });
}

FileResult<void> RecoveryCopy::holdLock()
{
    if (m_lockFd >= 0)
        return {};
    if (FileResult<void> folder = RecoveryFolder::ensure(); !folder)
        return folder;
    m_lockFd = recoveryfile::tryLock(m_lockPath);
    return m_lockFd >= 0 ? FileResult<void>() : FileResult<void>(FileError{errno});
}

FileError RecoveryCopy::writeOwn(const recoveryfile::Snapshot &snapshot)
{
    if (FileResult<void> locked = holdLock(); !locked)
        return locked.error();
    try {
        return recoveryfile::write(m_path, snapshot).error();
    } catch (const std::bad_alloc &) {
        return FileError{ENOMEM};
    }
}

void RecoveryCopy::finished(quint64 generation, FileError error)
{
    m_busy = false;
    emit writeFinished(error);
    // A write that began before the document matched its files again has nothing to report.
    if (error.code == 0 || generation != m_generation)
        return;
    m_schedule.failed();
    if (m_warned)
        return;
    m_warned = true;
    m_prompts.message({QStringLiteral("Wiederherstellungskopie"),
                       QStringLiteral("Die Wiederherstellungskopie konnte nicht geschrieben werden."),
                       Prompts::Icon::Warning, Prompts::Buttons::Ok, Prompts::Answer::Ok,
                       m_path + QStringLiteral(": ") + error.reason()});
}

void RecoveryCopy::dropCopy()
{
    ++m_generation;
    m_schedule.nothingToKeep();
    // After any write still under way, so that it cannot bring the copy back.
    m_worker.start([this] {
        if (m_lockFd >= 0)
            QFile::remove(m_path);
    });
}

void RecoveryCopy::settle()
{
    m_worker.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

bool RecoveryCopy::adopt(const QString &file)
{
    m_worker.waitForDone();
    if (!holdLock())
        return false;
    return std::rename(QFile::encodeName(file).constData(), QFile::encodeName(m_path).constData()) == 0;
}
