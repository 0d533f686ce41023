#include "settings/SettingsStore.h"

#include "document/SafeFile.h"
#include "settings/SettingsError.h"
#include "settings/SettingsLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <utility>

SettingsStore::SettingsStore(QString folder, QString programName)
    : m_folder(std::move(folder)), m_programName(std::move(programName))
{
}

SettingsStore::SettingsStore(SettingsStore &&) noexcept = default;
SettingsStore &SettingsStore::operator=(SettingsStore &&) noexcept = default;
SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString SettingsStore::programNameOf(const QString &executablePath)
{
    QString name = executablePath;
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    name.remove(0, slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name;
}

SettingsStore SettingsStore::forThisProgram()
{
    return SettingsStore(defaultFolder(), programNameOf(QCoreApplication::applicationFilePath()));
}

QString SettingsStore::filePath() const
{
    return m_folder + u'/' + m_programName + QStringLiteral(".ini");
}

FileResult<void> SettingsStore::load()
{
    const FileResult<QByteArray> bytes = safefile::readAll(filePath());
    if (!bytes)
        return bytes.error();
    m_file = IniFile::parse(*bytes);
    return {};
}

void SettingsStore::open()
{
    if (isOpen())
        return;
    const QString path = filePath();
    if (!QDir().mkpath(m_folder))
        throw SettingsError::cannotCreateKey(path);
    // Append: a file that a second program creates meanwhile is left as it is, never emptied.
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
            throw SettingsError::cannotCreateKey(path);
    }
    m_open = true;
    // A FIFO would hold the program and a device would be read without end: the store then reads
    // as empty and its writes fail, as for a file it cannot read.
    const FileResult<void> loaded = load();
    m_unusable = !loaded;
    m_unusableReason = loaded.error();
    if (m_unusable)
        m_file = IniFile();
}

void SettingsStore::close()
{
    m_open = false;
    m_unusable = false;
    m_file = IniFile();
    m_pending.clear();
    m_firstPending.clear();
}

namespace {

bool sameName(const IniFile::Change &c, const QString &section, const QString &name)
{
    return c.section.compare(section, Qt::CaseInsensitive) == 0 && c.name.compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QString> SettingsStore::read(const QString &section, const QString &name)
{
    open();
    const auto pending = std::find_if(m_pending.cbegin(), m_pending.cend(),
                                      [&](const IniFile::Change &c) { return sameName(c, section, name); });
    return pending != m_pending.cend() ? pending->value : m_file.value(section, name);
}

void SettingsStore::change(const QString &section, const QString &name, std::optional<QString> value)
{
    open();
    if (!m_unusable) {
        // A value written again keeps its place among the pending ones.
        const auto it = std::find_if(m_pending.begin(), m_pending.end(),
                                     [&](const IniFile::Change &c) { return sameName(c, section, name); });
        if (it != m_pending.end())
            *it = {section, name, std::move(value)};
        else
            m_pending.push_back({section, name, std::move(value)});
    }
    if (m_firstPending.isEmpty())
        m_firstPending = name;
}

void SettingsStore::write(const QString &section, const QString &name, const QString &value)
{
    change(section, name, value);
}

void SettingsStore::remove(const QString &section, const QString &name)
{
    change(section, name, std::nullopt);
}

void SettingsStore::flush()
{
    if (m_firstPending.isEmpty())
        return;
    // One writer at a time among the instances; where the folder takes no lock file, or something
    // else stands in its place, the file is written all the same.
    const SettingsLock lock(lockPath());
    writeLocked();
}

void SettingsStore::update(const std::function<void()> &change)
{
    open();
    const SettingsLock lock(lockPath());
    // What another instance wrote since this one read the file counts (a file that cannot be read
    // now leaves the values as they were; writeLocked then fails).
    if (!m_unusable)
        (void)load();
    change();
    writeLocked();
}

void SettingsStore::writeLocked()
{
    if (m_firstPending.isEmpty())
        return;
    // A file deleted meanwhile is written anew with the values read before.
    const bool gone = !QFileInfo::exists(filePath()) && !QFileInfo(filePath()).isSymLink();
    FileResult<void> ok = m_unusable ? FileResult<void>(m_unusableReason) : gone ? FileResult<void>() : load();
    IniFile next = m_file;
    if (ok) {
        next.apply(m_pending);
        ok = safefile::writeAll(filePath(), next.bytes());
    }
    const QString first = std::exchange(m_firstPending, QString());
    if (!ok)
        throw SettingsError::cannotWrite(first, filePath(), ok.error());
    m_file = std::move(next);
    m_pending.clear();
}
