#include "ui/RecoveryOffer.h"

#include "document/LeftCopies.h"
#include "document/ListDocument.h"
#include "document/Prompts.h"
#include "document/RecoveryCopy.h"
#include "document/RecoveryFolder.h"
#include "editing/FreshHistory.h"
#include "ui/HandlerGuard.h"

#include <QFileInfo>
#include <QTimer>

#include <memory>

namespace recoveryoffer {
namespace {

const QString kCaption = QStringLiteral("Wiederherstellen");

QString question(const recoveryfile::Copy &copy)
{
    const QString changes = copy.fileName.isEmpty()
                                ? QStringLiteral("an einer Liste ohne Namen")
                                : QStringLiteral("an „%1“").arg(QFileInfo(copy.fileName).fileName());
    return QStringLiteral("Das Programm wurde am %1 nicht ordnungsgemäß beendet. Die ungesicherten Änderungen %2 "
                          "wiederherstellen?")
        .arg(RecoveryFolder::when(copy.time), changes);
}

void tell(Prompts &prompts, const QString &text, const QString &path, FileError error)
{
    prompts.message({kCaption, text, Prompts::Icon::Warning, Prompts::Buttons::Ok, Prompts::Answer::Ok,
                     failureDetail(path, error)});
}

// Moves a copy into "verworfen"; says so when it was damaged, or when it cannot be moved.
void discard(LeftCopies &copies, LeftCopies::Left &left, Prompts &prompts)
{
    const QString path = left.path;
    const FileError damage = left.copy ? FileError{} : left.copy.error();
    const FileResult<void> moved = copies.discard(left);
    if (damage.code != 0) {
        const QString folder = moved ? RecoveryFolder::discardedPath() : QFileInfo(path).path();
        tell(prompts,
             QStringLiteral("Eine Wiederherstellungskopie ist beschädigt oder nicht lesbar und kann nicht "
                            "wiederhergestellt werden. Sie liegt im Ordner „%1“.")
                 .arg(folder),
             path, damage);
    } else if (!moved) {
        tell(prompts,
             QStringLiteral("Die Wiederherstellungskopie konnte nicht in den Ordner „%1“ verschoben werden.")
                 .arg(RecoveryFolder::discardedPath()),
             path, moved.error());
    }
}

} // namespace

bool ask(LeftCopies &copies, Prompts &prompts, ListDocument &document, RecoveryCopy &copy)
{
    copies.read();
    for (LeftCopies::Left &left : copies.copies()) {
        if (!left.copy) {
            discard(copies, left, prompts);
            continue;
        }
        const Prompts::Answer answer = prompts.message({kCaption, question(*left.copy), Prompts::Icon::Question,
                                                         Prompts::Buttons::YesNo, Prompts::Answer::Yes});
        if (answer == Prompts::Answer::Yes) {
            recoveryfile::Copy &kept = *left.copy;
            document.restore(std::move(kept.lists), kept.fileName, kept.details, kept.incompleteLoad);
            // Until this run has written its own copy, the old one keeps the lists safe.
            if (copy.adopt(left.path))
                copies.release(left);
            return true;
        }
        if (answer == Prompts::Answer::No)
            discard(copies, left, prompts);
        // A box closed without an answer leaves the copy for the next start.
    }
    return false;
}

void atStart(QObject &window, Prompts &prompts, ListDocument &document, RecoveryCopy &copy,
             editing::UndoRecorder &undo, std::function<void(bool restored)> start)
{
    auto copies = std::make_shared<LeftCopies>(LeftCopies::find());
    if (copies->empty()) {
        start(false);
        return;
    }
    // Queued: the window shows before the question comes.
    QTimer::singleShot(0, &window, [copies, &prompts, &document, &copy, &undo, start = std::move(start)] {
        bool restored = false;
        runHandler(&prompts, [&] {
            editing::FreshHistory fresh(undo);
            restored = ask(*copies, prompts, document, copy);
        });
        runHandler(&prompts, [&] { start(restored); });
    });
}

} // namespace recoveryoffer
