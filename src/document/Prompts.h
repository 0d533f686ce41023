#pragma once

#include <QString>

#include <optional>

// Every modal interaction of the program goes through this interface: the real implementation
// shows message boxes and standard dialogs, tests install a scripted one.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    // The user's answer; Closed means the box was closed without pressing a button.
    enum class Answer { Ok, Yes, No, Cancel, Closed };

    struct Message {
        QString caption; // empty: the platform's default caption for a message box
        QString text;
        Icon icon = Icon::Error;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
        // Shown below the text, in a smaller font: for a failure on a file, its name and the reason.
        QString informative = {};
    };

    // A file dialog: its filter in Qt's form ("Mängellisten (*.mal)"; several file types separated
    // by ";;"), the type selected when it opens, the default suffix without dot, and whether choosing
    // an existing file asks before overwriting it (chooseSaveFile asks, never the dialog).
    struct FileDialog {
        QString filter;
        QString defaultSuffix;
        QString startPath;
        bool confirmOverwrite = false;
        int selectedType = 0;
    };
    // A file chosen in a save dialog and the index of the file type chosen with it.
    struct FileChoice {
        QString path;
        int type = 0;
    };

    virtual ~Prompts() = default;

    virtual Answer message(const Message &message) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFileName(const FileDialog &dialog) = 0;
    virtual std::optional<QString> saveFileName(const FileDialog &dialog) = 0;
    // The save dialog with its file types; the type is the one it opened with unless overridden.
    virtual std::optional<FileChoice> saveFileChoice(const FileDialog &dialog)
    {
        std::optional<QString> path = saveFileName(dialog);
        if (!path)
            return std::nullopt;
        return FileChoice{*path, dialog.selectedType};
    }

    // The save dialog, and where the file chosen there exists and the dialog confirms overwriting,
    // the program's own question whether to replace it ("Speichern unter", No by default); No shows
    // the dialog again on the name chosen. The program asks itself because the dialog's own check
    // looks for the name in its UTF-8 form and misses a file whose name holds other bytes.
    std::optional<FileChoice> chooseSaveFile(FileDialog dialog);

    // Shorthand for the frequent error box with one OK button.
    void error(const QString &caption, const QString &text)
    {
        message({caption, text, Icon::Error, Buttons::Ok, Answer::Ok});
    }
};
