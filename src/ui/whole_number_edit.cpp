#include "ui/whole_number_edit.h"

#include "ui/whole_number.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

WholeNumberEdit::WholeNumberEdit(QWidget* parent) : QLineEdit(parent)
{
    // Text from an input method is dropped; without this the box would ask for one.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void WholeNumberEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    // Ctrl combinations (copy, cut, paste, undo) are control characters, whatever text a platform attaches.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool control = (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
    if (typed.isEmpty() || control) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QString kept;
    bool dropped = false;
    for (const char32_t c : typed.toUcs4()) {
        if (IsAcceptedTypedCharacter(c))
            kept += QString::fromUcs4(&c, 1);
        else
            dropped = true;
    }
    if (!dropped) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!kept.isEmpty())
        insert(kept);
    event->accept();
}

void WholeNumberEdit::inputMethodEvent(QInputMethodEvent* event)
{
    event->accept();
}

void WholeNumberEdit::focusOutEvent(QFocusEvent* event)
{
    // Before anything else sees the focus change: a button's click handler reads normalised text.
    const QString normalised = QString::fromStdString(NormaliseWholeNumber(text().toStdString()));
    if (normalised != text())
        setText(normalised);
    QLineEdit::focusOutEvent(event);
}
