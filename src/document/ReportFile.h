#pragma once

#include "document/ReportDetails.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The details file: the report details of a list file, in a UTF-8 text file of their own beside it.
//   Maengelliste-Bericht 1
//   Objekt=Wohnhaus Lindenweg 4
//   Anschrift=Lindenweg 4\n12345 Musterstadt
//   ...
// One Key=Value line per field, in the order of ReportDetails::fields(); a line break in a value
// is written "\n", a backslash "\\". Keys are read without regard to case; lines may end in LF
// (as written), CR LF or CR; lines naming no field are kept and written back after the fields.
namespace reportfile {

// The first line of every details file.
inline constexpr char kHeader[] = "Maengelliste-Bericht 1";
// A larger file is not read: details of a report are a few lines.
inline constexpr qint64 kMaxSize = qint64(1) << 20;

// The details file of a list file: the file name's last extension replaced by ".bericht".
//   "/a/Begehung.mal" => "/a/Begehung.bericht"   "/a/liste" => "/a/liste.bericht"
//   "/a.b/liste" => "/a.b/liste.bericht"         "/a/.liste" => "/a/.liste.bericht"
// A list file that itself ends in ".bericht" gets a second one, so the two never coincide.
QString pathFor(const QString &listFile);

// Why a details file could not be read or written.
struct Fault {
    enum Kind {
        None,
        System,         // the file system refused; `error` holds the errno value
        NotText,        // not UTF-8, or binary
        TooLarge,       // larger than kMaxSize
        UnknownVersion, // "Maengelliste-Bericht N" of another version
        UnknownFormat,  // no details file at all
    };
    Kind kind = None;
    int error = 0;

    explicit operator bool() const { return kind != None; }
    // The reason in the user's words, e.g. "Keine Berechtigung", "Größer als 1 MB".
    QString reason() const;
};

struct Parsed {
    ReportDetails details;
    Fault fault;
};

// The details the bytes of a file hold; start values and a fault when they hold none. An empty
// file holds empty details.
Parsed parse(QByteArrayView bytes);
// The bytes of the file for details.
QByteArray encode(const ReportDetails &details);

// Reads a details file. A missing file is no fault: its details are empty.
Parsed read(const QString &path);
// Writes details to path by the safe write (the old file stays whole until the new one is
// complete). Details too large to be read back are refused with TooLarge, nothing written.
Fault write(const QString &path, const ReportDetails &details);
// Removes the file at path; no fault when there is none.
Fault remove(const QString &path);

} // namespace reportfile
