#pragma once

#include <QString>
#include <QStringList>

class Prompts;
class QTextStream;

// The command line of the program: `maengelliste [DATEI.mal]`. One argument names a list file to
// open at start-up instead of the default list file.
namespace startarguments {

// The list file the arguments (without the program's name) name, as an absolute path; empty when
// there is none. error receives a German message when the arguments cannot be used.
QString listFile(const QStringList &arguments, QString *error);

// As above; a message goes to errors (the standard error stream) and into a message box, and the
// program then starts as without an argument.
QString takeListFile(const QStringList &arguments, Prompts &prompts, QTextStream &errors);

} // namespace startarguments
