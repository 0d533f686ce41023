#include "ui/EditMenu.h"

#include "editing/UndoRecorder.h"
#include "ui/ListView.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

enum class TextKey { None, Undo, Redo };

TextKey textKey(const QKeyEvent &event)
{
    const QKeyCombination key = event.keyCombination();
    if (key == (Qt::CTRL | Qt::Key_Z))
        return TextKey::Undo;
    if (key == (Qt::CTRL | Qt::Key_Y) || key == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
        return TextKey::Redo;
    return TextKey::None;
}

// Undoes or redoes the typing in a text field; false when `widget` is none.
bool replayTyping(QObject *widget, TextKey key)
{
    const bool undo = key == TextKey::Undo;
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
        widget = spin->findChild<QLineEdit *>();
    if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        undo ? line->undo() : line->redo();
        return true;
    }
    if (auto *text = qobject_cast<QTextEdit *>(widget)) {
        undo ? text->undo() : text->redo();
        return true;
    }
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget)) {
        undo ? plain->undo() : plain->redo();
        return true;
    }
    return false;
}

bool isTextField(QObject *object)
{
    return qobject_cast<QLineEdit *>(object) || qobject_cast<QAbstractSpinBox *>(object) ||
           qobject_cast<QTextEdit *>(object) || qobject_cast<QPlainTextEdit *>(object);
}

} // namespace

EditMenu::EditMenu(editing::UndoRecorder &recorder, QMenuBar *bar, QMenu *before)
    : QMenu(QStringLiteral("&Bearbeiten"), bar), m_recorder(recorder), m_window(bar->window())
{
    setObjectName(QStringLiteral("Bearbeiten1"));
    m_undo = addAction(QString());
    m_undo->setObjectName(QStringLiteral("Rckgngig1"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = addAction(QString());
    m_redo->setObjectName(QStringLiteral("Wiederholen1"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    bar->insertMenu(before ? before->menuAction() : nullptr, this);

    connect(m_undo, &QAction::triggered, this, [this] {
        finishEditing();
        m_recorder.undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        finishEditing();
        m_recorder.redo();
    });
    // The text field's keys are sorted out before any shortcut sees them.
    qApp->installEventFilter(this);
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

void EditMenu::finishEditing()
{
    if (!m_window)
        return;
    for (ListView *view : m_window->findChildren<ListView *>())
        view->finishEditing();
}

bool EditMenu::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !isTextField(watched))
        return QMenu::eventFilter(watched, event);
    const TextKey key = textKey(*static_cast<QKeyEvent *>(event));
    if (key == TextKey::None)
        return QMenu::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        event->accept(); // the key goes to the field as a key press, not to a shortcut
        return true;
    }
    return replayTyping(watched, key);
}
