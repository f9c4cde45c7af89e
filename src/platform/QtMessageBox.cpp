#include "platform/QtMessageBox.h"

#include <QMessageBox>

namespace tavlo {

MessageBox::Answer QtMessageBox::show(const QString &text, Icon icon, Buttons buttons, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    // Our texts use CR LF; the toolkit wants bare LF.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);

    switch (icon) {
    case Icon::NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }

    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

} // namespace tavlo
