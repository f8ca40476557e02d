#pragma once

#include <QLineEdit>

// A line edit for whole seconds: typed characters other than digits and "-" are
// dropped silently; pasted text is not filtered, but the text is normalised to
// a whole number whenever the box loses the focus.
class WholeNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit WholeNumberEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
