#pragma once

#include <QString>

#include <chrono>

// The lock that lets one running instance at a time change the settings file: a regular file beside
// it, locked while this object lives and removed when it ends.
//
// Anything else in the lock's place (a link, a FIFO, a device, a folder, another user's file) is left
// alone without waiting, and the caller goes on without the lock; so does a caller that cannot create
// the file or that waited `patience` in vain for another instance.
//
//   SettingsLock lock(store.filePath() + ".lock");
//   ... read, change and write the file ...
class SettingsLock {
public:
    explicit SettingsLock(const QString &path, std::chrono::milliseconds patience = std::chrono::seconds(5));
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;

    bool held() const { return m_fd >= 0; }

private:
    QByteArray m_path;
    int m_fd = -1;
};
