// Starts the application as the program does and prints what came of the command line: whether Qt
// turned the layout right-to-left, and the program's arguments, each in angle brackets.
#include "ui/Application.h"
#include "ui/StartArguments.h"

#include <QTextStream>

int main(int argc, char **argv)
{
    startarguments::CommandLine commandLine(argc, argv);
    Application app(commandLine.qtArgc(), commandLine.qtArgv());
    QTextStream out(stdout);
    out << "rtl=" << (QGuiApplication::isRightToLeft() ? 1 : 0) << " args=";
    for (const QString &argument : commandLine.programArguments())
        out << '<' << argument << '>';
    out << '\n';
    return 0;
}
