#pragma once

#include "ScriptedPrompts.h"
#include "document/ListDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A document whose program folder is a fresh temporary folder, with scripted answers to its questions.
struct DocumentFixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    ListDocument doc{prompts};

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setUp(dir.path(), QStringLiteral("Quenbrik Mängelliste 1.0"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
};
