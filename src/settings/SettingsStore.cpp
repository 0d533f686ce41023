#include "settings/SettingsStore.h"

#include "document/SafeFile.h"
#include "settings/IniFormat.h"
#include "settings/SettingsError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
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
    QBuffer buffer;
    buffer.setData(*bytes);
    buffer.open(QIODevice::ReadOnly);
    m_values.clear();
    if (!iniformat::read(buffer, m_values))
        return FileError::format();
    return {};
}

void SettingsStore::open()
{
    if (isOpen())
        return;
    const QString path = filePath();
    if (!QDir().mkpath(m_folder))
        throw SettingsError::cannotCreateKey(path);
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw SettingsError::cannotCreateKey(path);
    }
    m_open = true;
    // A FIFO would hold the program and a device would be read without end: the store then reads
    // as empty and its writes fail, as for a file it cannot read.
    const FileResult<void> loaded = load();
    m_unusable = !loaded;
    m_unusableReason = loaded.error();
    if (m_unusable)
        m_values.clear();
}

void SettingsStore::close()
{
    m_open = false;
    m_unusable = false;
    m_values.clear();
    m_pending.clear();
    m_firstPending.clear();
}

std::optional<QString> SettingsStore::read(const QString &section, const QString &name)
{
    open();
    const auto it = m_values.constFind(section + u'/' + name);
    if (it == m_values.cend())
        return std::nullopt;
    if (it->typeId() != QMetaType::QString)
        throw SettingsError::invalidType(name);
    return it->toString();
}

void SettingsStore::write(const QString &section, const QString &name, const QString &value)
{
    open();
    if (!m_unusable) {
        m_values.insert(section + u'/' + name, value);
        m_pending.insert(section + u'/' + name, value);
    }
    if (m_firstPending.isEmpty())
        m_firstPending = name;
}

void SettingsStore::remove(const QString &section, const QString &name)
{
    open();
    if (!m_unusable) {
        m_values.remove(section + u'/' + name);
        m_pending.insert(section + u'/' + name, QVariant());
    }
    if (m_firstPending.isEmpty())
        m_firstPending = name;
}

void SettingsStore::applyPending()
{
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (it.value().isValid())
            m_values.insert(it.key(), it.value());
        else
            m_values.remove(it.key());
    }
}

void SettingsStore::flush()
{
    if (m_firstPending.isEmpty())
        return;
    // One writer at a time among the instances; where the folder takes no lock file, the file is
    // written all the same.
    QLockFile lock(lockPath());
    (void)lock.tryLock(5000);
    writeLocked();
}

void SettingsStore::update(const std::function<void()> &change)
{
    open();
    QLockFile lock(lockPath());
    (void)lock.tryLock(5000);
    // What another instance wrote since this one read the file counts (a file that cannot be read
    // now leaves the values as they were; writeLocked then fails).
    if (!m_unusable && load())
        applyPending();
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
    if (ok) {
        applyPending();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ok = iniformat::write(buffer, m_values) ? safefile::writeAll(filePath(), buffer.data())
                                                : FileResult<void>(FileError{ENOMEM});
    }
    const QString first = std::exchange(m_firstPending, QString());
    if (!ok)
        throw SettingsError::cannotWrite(first, filePath(), ok.error());
    m_pending.clear();
}
