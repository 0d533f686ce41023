#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// An INI file as lines, so that a change touches only the lines of the values it changes.
//
//   [TMainForm]
//   NormPos=223,115,1222,704
//
// Reading is lenient: lines without "=", comment lines (";" or "#") and blank lines carry no value;
// the key is trimmed of blanks, the value is everything after the first "=" up to the line end, and
// a later duplicate key wins. Keys outside a section are top-level keys; "/" is an ordinary
// character. Section and key names match without regard to case.
//
// A value's bytes are UTF-8 where they are valid UTF-8, else Windows-1252 (every byte one
// character), so "Gr\xfc\xdfe" reads as "Größe".
//
// apply() rewrites only the lines of the values it is given: every other line (other sections,
// other keys, comments, blanks, a byte order mark, its line end) stays byte for byte and in place,
// and bytes() gives the file back exactly as parsed when nothing was applied.
class IniFile {
public:
    // A value to write, or with no value, to remove.
    struct Change {
        QString section;
        QString name;
        std::optional<QString> value;
    };

    static IniFile parse(const QByteArray &bytes);
    QByteArray bytes() const;

    // The value of the last line of `name` in `section` ("" for the top level), or none.
    std::optional<QString> value(QStringView section, QStringView name) const;

    // Writes the values, section by section. A section's changed values are put together in the order
    // given, where the first of their old lines stood (else after the section's last value, else in a
    // new section at the end of the file); a name is written as given, whatever case the file had.
    // A value unchanged from the file keeps its bytes; a new one is written as UTF-8 on one line
    // (a line break turns into a blank). A section that a removal leaves without lines goes.
    void apply(const std::vector<Change> &changes);

private:
    struct Line {
        enum class Kind { Other, Header, Key };
        Kind kind = Kind::Other;
        QByteArray text; // without the line end
        QByteArray end;  // "\n", "\r\n", or none for a last line without one
        QString section; // the section it stands in ("" before the first header); a header's own
        QString name;    // the key of a value
        qsizetype valueStart = 0;
        QByteArray rawValue() const { return text.mid(valueStart); }
    };
    static Line parseLine(QByteArray text, QByteArray end, const QString &section);
    const Line *find(QStringView section, QStringView name) const;
    void applySection(const QString &section, const std::vector<const Change *> &changes, const QByteArray &end);
    void dropEmptySection(const QString &section);

    QByteArray m_bom;
    std::vector<Line> m_lines;
};
