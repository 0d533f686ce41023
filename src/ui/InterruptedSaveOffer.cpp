#include "ui/InterruptedSaveOffer.h"

#include "document/InterruptedSave.h"
#include "document/Prompts.h"
#include "document/RecoveryFolder.h"

#include <QFileInfo>

namespace interruptedsaveoffer {

QString ask(Prompts &prompts, const QString &startFile)
{
    const QString caption = QStringLiteral("Wiederherstellen");
    QString open = startFile;
    for (interruptedsave::Pending &pending : interruptedsave::find()) {
        const QString target = pending.target();
        const QString text = QStringLiteral("Das Speichern von „%1“ wurde am %2 unterbrochen; die Datei ist vermutlich "
                                            "unvollständig. Die vollständige neue Fassung wiederherstellen?")
                                 .arg(QFileInfo(target).fileName(), RecoveryFolder::when(pending.began()));
        const Prompts::Answer answer =
            prompts.message({caption, text, Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::Yes});
        if (answer == Prompts::Answer::Yes) {
            if (const FileResult<void> restored = interruptedsave::restore(pending); !restored)
                showFailure(prompts, caption, QStringLiteral("Die neue Fassung konnte nicht geschrieben werden."),
                            target, restored.error());
            else if (target.endsWith(QStringLiteral(".mal"), Qt::CaseInsensitive))
                open = target;
        } else if (answer == Prompts::Answer::No) {
            if (const FileResult<void> moved = interruptedsave::discard(pending); !moved)
                showFailure(prompts, caption, QStringLiteral("Die neue Fassung konnte nicht verworfen werden."),
                            pending.copy(), moved.error());
        }
    }
    return open;
}

} // namespace interruptedsaveoffer
