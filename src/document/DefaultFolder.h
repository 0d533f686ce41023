#pragma once

#include <QString>

// Where the default list file "mängel.mal" lives. A program in a folder of its own (a per-user
// install, a build tree) keeps it beside the executable. An install for all users cannot: its
// executable lies in a system folder such as /usr/bin, and the starter list file it ships lies
// read-only in <prefix>/share/maengelliste. There the default list file is the user's own copy in
// the data folder ($XDG_DATA_HOME/maengelliste), made from the starter file at the first start.
namespace defaultfolder {

// What a look at the executable's folder finds.
struct Probe {
    bool listExists = false;       // "mängel.mal" is there
    bool listWritable = false;     // and the user may write it
    bool folderWritable = false;   // the user may create files in the folder
    bool installedStarter = false; // an install for all users: <prefix>/share/maengelliste/mängel.mal exists
};

enum class Place { ProgramFolder, DataFolder };

// A writable list file beside the executable stays where it is. Otherwise an install for all
// users, a read-only list file or a folder the user cannot write make it the data folder; a
// writable program folder without the file stays the program folder (the start reports the
// missing file, and Save As can create it there).
Place choose(const Probe &probe);

Probe probe(const QString &executableFolder);

// The folder of the running executable, without a trailing '/'. Read from the system's link to it,
// so that a folder whose name is not UTF-8 keeps its bytes (as nativename gives them).
QString executableFolder();

// The installed files, relative to the folder of an executable in <prefix>/bin.
QString installedStarterFile(const QString &executableFolder);
QString installedGuideFile(const QString &executableFolder);

// The folder of the default list file (ending in '/') for a program in executableFolder. In the
// data folder, a missing list file is first copied from the starter file (the read-only one beside
// the executable, else the installed one) and made writable for the user; a copy that fails leaves
// a German message in problem, and the start then reports the missing file as usual.
QString prepare(const QString &executableFolder, const QString &dataFolder, QString *problem);

} // namespace defaultfolder
