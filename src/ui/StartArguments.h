#pragma once

#include <QString>
#include <QStringList>

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

// The arguments after the program's name, taken from the argv that QApplication left (its own
// options removed), as nativename::fromNative gives them.
QStringList fromArgv(int argc, char **argv);

} // namespace startarguments
