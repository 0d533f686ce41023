#pragma once

#include <QApplication>
#include <QString>

class Prompts;

// The application: shows every exception that escapes an event handler in the general error
// display and goes on running.
class Application : public QApplication {
    Q_OBJECT

public:
    Application(int &argc, char **argv);

    static const QString &title();
    // The error's text with a full stop appended when its last character comes after "." in the
    // character table:  "Kein Drucker" => "Kein Drucker.",  "Fertig!" => "Fertig!"
    static QString errorText(const QString &what);
    // Shows the general error display: caption "Tessarol 1.2", error icon, OK.
    static void showError(const QString &what, Prompts *prompts = nullptr);
    // Shows the exception being handled in the general error display: its own text, or for running
    // out of memory "Nicht genügend Arbeitsspeicher, um den Befehl auszuführen.". Only inside a catch
    // block; it never throws.
    static void showCurrentException(Prompts *prompts = nullptr) noexcept;
    // Loads Qt's own German texts for standard buttons and dialogs.
    void installGermanTranslations();

    bool notify(QObject *receiver, QEvent *event) override;

    // Where the general error display goes (tests install scripted prompts); null: a message box.
    static void setErrorPrompts(Prompts *prompts);
};
