#include "ui/EditMenu.h"

#include "editing/UndoRecorder.h"
#include "ui/HandlerGuard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>

EditMenu::EditMenu(editing::UndoRecorder &recorder, QMenuBar *bar, QMenu *before, Prompts *prompts)
    : QMenu(QStringLiteral("&Bearbeiten"), bar), m_recorder(recorder), m_prompts(prompts)
{
    setObjectName(QStringLiteral("Bearbeiten1"));
    m_undo = addAction(QString());
    m_undo->setObjectName(QStringLiteral("Rckgngig1"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = addAction(QString());
    m_redo->setObjectName(QStringLiteral("Wiederholen1"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    bar->insertMenu(before ? before->menuAction() : nullptr, this);

    connect(m_undo, &QAction::triggered, this, [this] { runHandler(m_prompts, [this] { m_recorder.undo(); }); });
    connect(m_redo, &QAction::triggered, this, [this] { runHandler(m_prompts, [this] { m_recorder.redo(); }); });
    QUndoStack &stack = m_recorder.stack();
    connect(&stack, &QUndoStack::indexChanged, this, &EditMenu::update);
    connect(&stack, &QUndoStack::cleanChanged, this, &EditMenu::update);
    connect(&stack, &QUndoStack::undoTextChanged, this, &EditMenu::update);
    connect(&stack, &QUndoStack::redoTextChanged, this, &EditMenu::update);
    update();
}

void EditMenu::update()
{
    const QUndoStack &stack = m_recorder.stack();
    const auto label = [](const QString &command, bool can, const QString &step) {
        return can ? command + QStringLiteral(": ") + step : command;
    };
    m_undo->setEnabled(stack.canUndo());
    m_undo->setText(label(QStringLiteral("&Rückgängig"), stack.canUndo(), stack.undoText()));
    m_redo->setEnabled(stack.canRedo());
    m_redo->setText(label(QStringLiteral("&Wiederholen"), stack.canRedo(), stack.redoText()));
}
