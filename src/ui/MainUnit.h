#pragma once

#include "document/ListDocument.h"
#include "ui/MessageBoxPrompts.h"

#include <QMainWindow>

class QTreeView;

// The main window: the three lists of the document side by side and the status line.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(Prompts *prompts = nullptr, QWidget *parent = nullptr);

    ListDocument &document() { return m_document; }

    void FormCreate();

private:
    MessageBoxPrompts m_ownPrompts;
    Prompts &m_prompts;
    ListDocument m_document;
    QTreeView *ListView1;
    QTreeView *ListView2;
    QTreeView *ListView3;
};
