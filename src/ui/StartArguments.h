#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class Prompts;
class QTextStream;

// The command line of the program: `maengelliste [--] [DATEI.mal]`. One argument names a list file
// to open at start-up instead of the default list file; "--" before it ends the options.
namespace startarguments {

// The list file the arguments (without the program's name, each as nativename::fromNative gives
// it) name, as an absolute path; empty when there is none. error receives a German message when
// the arguments cannot be used.
QString listFile(QStringList arguments, QString *error);

// As above; a message goes to errors (the standard error stream) and into a message box, and the
// program then starts as without an argument.
QString takeListFile(const QStringList &arguments, Prompts &prompts, QTextStream &errors);

// The command line split at its first "--": Qt reads its own options (-reverse, -style, -platform
// …) only from the arguments before it, and everything from it on is the program's alone, so that
// `maengelliste -- -reverse` names a list file while `maengelliste -reverse` turns the window.
class CommandLine {
public:
    CommandLine(int argc, char **argv);
    CommandLine(const CommandLine &) = delete;
    CommandLine &operator=(const CommandLine &) = delete;

    // What to hand to QApplication, which removes its own options from them and keeps referring to
    // them: the CommandLine must outlive the application.
    int &qtArgc() { return m_qtArgc; }
    char **qtArgv() { return m_qtArgv.data(); }

    // The program's arguments: those Qt left of its part, then the first "--" and everything after
    // it, each as nativename::fromNative gives it.
    QStringList programArguments() const;

private:
    int m_qtArgc;
    std::vector<char *> m_qtArgv; // the program's name and the arguments before "--", null-terminated
    std::vector<char *> m_rest;   // "--" and what follows
};

} // namespace startarguments
