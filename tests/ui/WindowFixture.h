#pragma once

#include "ScriptedWindowPrompts.h"
#include "TestSupport.h"
#include "document/Cp1252.h"
#include "ui/ListView.h"
#include "ui/MainUnit.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

// A main window over a temporary program folder, with scripted prompts.
struct WindowFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedWindowPrompts prompts;
    std::unique_ptr<TMainForm> form;

    QString path(const QString &name) const { return dir.filePath(name); }
    QString defaultFile() const { return path(QStringLiteral("mängel.mal")); }
    void writeDefault(const QByteArray &bytes) const { testsupport::writeFile(defaultFile(), bytes); }

    // The starter document: two assemblies, three catalogue defects, one defect-list entry.
    static QByteArray starter()
    {
        return testsupport::crlf({"2", "Dach", "Fassade", "3", "Riss", "Fassade", "Loch", "Dach", "Ziegel", "Dach", "1",
                                  "Alt", "Dach"});
    }
    void create()
    {
        form = std::make_unique<TMainForm>(prompts, dir.path(), makeStore());
    }
    void createWithStarter()
    {
        writeDefault(starter());
        create();
        prompts.clear();
    }

    // The settings of the window's tests live in the temporary folder.
    std::unique_ptr<SettingsStore> makeStore() const
    {
        return std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("config")), QStringLiteral("maengelliste"));
    }
    QString settingsFile() const { return dir.filePath(QStringLiteral("config/maengelliste.ini")); }
    ListDocument &doc() { return form->document(); }
    static std::vector<std::string> captions(const EntryList &list) { return testsupport::captions(list); }
    QString status() const;
};
