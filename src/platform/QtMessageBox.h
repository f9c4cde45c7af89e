#pragma once

#include "platform/MessageBox.h"

class QWidget;

namespace tavlo {

// The real message box: a modal QMessageBox with the icon and buttons asked for.
class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    Answer show(const QString &text, Icon icon, Buttons buttons, const QString &title) override;

private:
    QWidget *m_parent;
};

} // namespace tavlo
