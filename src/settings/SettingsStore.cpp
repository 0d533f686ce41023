#include "settings/SettingsStore.h"

#include "settings/IniFormat.h"
#include "settings/SettingsError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Whether path names a regular file (after links), found out without waiting: a FIFO is opened
// non-blocking and never read.
bool isRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true; // unreadable: QSettings finds that out itself and keeps the file
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

} // namespace

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
    } else if (!isRegularFile(path)) {
        // A FIFO would hold the program and a device would be read without end: the store then
        // reads as empty and its writes fail, as for a file it cannot read.
        m_unusable = true;
        return;
    }
    m_settings = std::make_unique<QSettings>(path, iniformat::format());
}

void SettingsStore::close()
{
    m_settings.reset();
    m_unusable = false;
    m_firstPending.clear();
}

std::optional<QString> SettingsStore::read(const QString &section, const QString &name)
{
    open();
    if (m_unusable)
        return std::nullopt;
    const QVariant value = m_settings->value(section + u'/' + name);
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() != QMetaType::QString)
        throw SettingsError::invalidType(name);
    return value.toString();
}

void SettingsStore::write(const QString &section, const QString &name, const QString &value)
{
    open();
    if (!m_unusable)
        m_settings->setValue(section + u'/' + name, value);
    if (m_firstPending.isEmpty())
        m_firstPending = name;
}

void SettingsStore::flush()
{
    if (m_unusable) {
        const QString first = std::exchange(m_firstPending, QString());
        if (!first.isEmpty())
            throw SettingsError::cannotWrite(first);
        return;
    }
    if (!m_settings)
        return;
    m_settings->sync();
    const QString first = std::exchange(m_firstPending, QString());
    if (m_settings->status() != QSettings::NoError && !first.isEmpty())
        throw SettingsError::cannotWrite(first);
}
