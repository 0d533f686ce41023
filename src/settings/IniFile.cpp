#include "settings/IniFile.h"

#include "document/Cp1252.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return cp1252::toUnicode(std::string_view(bytes.constData(), size_t(bytes.size())));
    return text;
}

bool same(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::Line IniFile::parseLine(QByteArray text, QByteArray end, const QString &section)
{
    if (text.endsWith('\r')) {
        text.chop(1);
        end.prepend('\r');
    }
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    line.section = section;
    const QByteArray head = line.text.trimmed();
    if (head.isEmpty() || head.startsWith(';') || head.startsWith('#'))
        return line;
    if (head.startsWith('[') && head.endsWith(']')) {
        line.kind = Line::Kind::Header;
        line.section = decode(head.mid(1, head.size() - 2).trimmed());
        return line;
    }
    const qsizetype eq = line.text.indexOf('=');
    const QByteArray key = line.text.left(std::max<qsizetype>(eq, 0)).trimmed();
    if (key.isEmpty())
        return line;
    line.kind = Line::Kind::Key;
    line.name = decode(key);
    line.valueStart = eq + 1;
    return line;
}

IniFile IniFile::parse(const QByteArray &bytes)
{
    IniFile file;
    qsizetype pos = 0;
    if (bytes.startsWith(kBom)) {
        file.m_bom = kBom;
        pos = kBom.size();
    }
    QString section;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        const bool broken = end >= 0;
        if (!broken)
            end = bytes.size();
        Line line = parseLine(bytes.mid(pos, end - pos), broken ? QByteArray("\n") : QByteArray(), section);
        section = line.section;
        file.m_lines.push_back(std::move(line));
        pos = end + 1;
    }
    return file;
}

QByteArray IniFile::bytes() const
{
    QByteArray out = m_bom;
    for (const Line &line : m_lines)
        out += line.text + line.end;
    return out;
}

const IniFile::Line *IniFile::find(QStringView section, QStringView name) const
{
    const auto it = std::find_if(m_lines.rbegin(), m_lines.rend(), [&](const Line &line) {
        return line.kind == Line::Kind::Key && same(line.section, section) && same(line.name, name);
    });
    return it == m_lines.rend() ? nullptr : &*it;
}

std::optional<QString> IniFile::value(QStringView section, QStringView name) const
{
    if (const Line *line = find(section, name))
        return decode(line->rawValue());
    return std::nullopt;
}

void IniFile::apply(const std::vector<Change> &changes)
{
    // New lines end as the file's lines do.
    QByteArray end = "\n";
    const auto broken = std::find_if(m_lines.begin(), m_lines.end(), [](const Line &l) { return l.end.endsWith('\n'); });
    if (broken != m_lines.end())
        end = broken->end;

    std::vector<QString> sections;
    for (const Change &change : changes) {
        if (std::none_of(sections.begin(), sections.end(), [&](const QString &s) { return same(s, change.section); }))
            sections.push_back(change.section);
    }
    for (const QString &section : sections) {
        std::vector<const Change *> own;
        for (const Change &change : changes) {
            if (same(change.section, section))
                own.push_back(&change);
        }
        applySection(section, own, end);
    }
    // A line that was last and is no longer ends with a line break.
    for (size_t i = 0; i + 1 < m_lines.size(); ++i) {
        if (!m_lines[i].end.endsWith('\n'))
            m_lines[i].end = m_lines[i].end.isEmpty() ? end : m_lines[i].end + '\n';
    }
}

void IniFile::applySection(const QString &section, const std::vector<const Change *> &changes, const QByteArray &end)
{
    const auto changed = [&](const Line &line) {
        return line.kind == Line::Kind::Key && same(line.section, section) &&
               std::any_of(changes.begin(), changes.end(), [&](const Change *c) { return same(c->name, line.name); });
    };

    // The new lines, each value once (the last given wins), in the order of first mention.
    std::vector<Line> block;
    for (size_t i = 0; i < changes.size(); ++i) {
        const Change &c = *changes[i];
        const bool repeated = std::any_of(changes.begin(), changes.begin() + qsizetype(i),
                                          [&](const Change *earlier) { return same(earlier->name, c.name); });
        if (repeated)
            continue;
        const auto last = std::find_if(changes.rbegin(), changes.rend(), [&](const Change *later) {
            return same(later->name, c.name);
        });
        if (!(*last)->value)
            continue;
        const QString &text = *(*last)->value;
        QByteArray value;
        const Line *old = find(section, c.name);
        if (old && decode(old->rawValue()) == text) {
            value = old->rawValue();
        } else {
            value = text.toUtf8();
            value.replace('\r', ' ');
            value.replace('\n', ' ');
        }
        Line line;
        line.kind = Line::Kind::Key;
        line.section = section;
        line.name = (*last)->name;
        line.text = line.name.toUtf8() + '=';
        line.valueStart = line.text.size();
        line.text += value;
        line.end = end;
        block.push_back(std::move(line));
    }

    // The other lines stay; the changed values go where the first of them stood.
    std::vector<Line> kept;
    kept.reserve(m_lines.size() + block.size() + 2);
    qsizetype first = -1, afterKey = -1, afterHeader = -1;
    for (Line &line : m_lines) {
        if (changed(line)) {
            if (first < 0)
                first = qsizetype(kept.size());
            continue;
        }
        const bool inSection = same(line.section, section);
        kept.push_back(std::move(line));
        if (inSection && kept.back().kind == Line::Kind::Key)
            afterKey = qsizetype(kept.size());
        else if (inSection && kept.back().kind == Line::Kind::Header)
            afterHeader = qsizetype(kept.size());
    }
    const bool removedOnly = block.empty() && first >= 0;
    qsizetype at = first >= 0 ? first : afterKey >= 0 ? afterKey : afterHeader >= 0 ? afterHeader : section.isEmpty() ? 0 : -1;
    if (at < 0 && !block.empty()) {
        if (!kept.empty() && !kept.back().text.trimmed().isEmpty())
            kept.push_back(parseLine({}, end, kept.back().section));
        kept.push_back(parseLine('[' + section.toUtf8() + ']', end, section));
        at = qsizetype(kept.size());
    }
    if (at >= 0)
        kept.insert(kept.begin() + at, std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
    m_lines = std::move(kept);
    if (removedOnly)
        dropEmptySection(section);
}

void IniFile::dropEmptySection(const QString &section)
{
    if (section.isEmpty())
        return;
    const auto blank = [this](size_t i) {
        return m_lines[i].kind == Line::Kind::Other && m_lines[i].text.trimmed().isEmpty();
    };
    size_t h = 0;
    while (h < m_lines.size()) {
        size_t next = h + 1;
        while (next < m_lines.size() && blank(next))
            ++next;
        const bool empty = next == m_lines.size() || m_lines[next].kind == Line::Kind::Header;
        if (m_lines[h].kind != Line::Kind::Header || !same(m_lines[h].section, section) || !empty) {
            ++h;
            continue;
        }
        // The header goes with the blank line that set it apart.
        const size_t from = h > 0 && blank(h - 1) ? h - 1 : h;
        m_lines.erase(m_lines.begin() + qsizetype(from), m_lines.begin() + qsizetype(h) + 1);
        h = from;
    }
}
