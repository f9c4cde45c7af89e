#pragma once

#include "platform/MessageBox.h"

class QWidget;

namespace tavlo {

// The real message box: a modal QMessageBox with the buttons and icon the style asks for.
class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    int show(const QString &text, int style, const QString &title) override;

private:
    QWidget *m_parent;
};

} // namespace tavlo
