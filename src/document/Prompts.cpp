#include "document/Prompts.h"

#include "document/NativeName.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// Whether anything goes by that name, looked up by the name's own bytes (also where they are not
// UTF-8, which is where the file dialog's own look misses the file).
bool exists(const QString &path)
{
    struct stat st {};
    return ::lstat(nativename::toNative(path).constData(), &st) == 0;
}

} // namespace

std::optional<Prompts::FileChoice> Prompts::chooseSaveFile(FileDialog dialog)
{
    for (;;) {
        std::optional<FileChoice> choice = saveFileChoice(dialog);
        if (!choice || !dialog.confirmOverwrite || !exists(choice->path))
            return choice;
        const Answer answer =
            message({QStringLiteral("Speichern unter"),
                     QStringLiteral("Die Datei „%1“ gibt es schon. Soll sie ersetzt werden?")
                         .arg(QFileInfo(choice->path).fileName()),
                     Icon::Warning, Buttons::YesNo, Answer::No, QDir::toNativeSeparators(choice->path)});
        if (answer == Answer::Yes)
            return choice;
        dialog.startPath = choice->path;
        dialog.selectedType = choice->type;
    }
}
