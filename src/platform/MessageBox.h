#pragma once

#include <QString>

namespace tavlo {

// A modal message box: the real one shows a QMessageBox, tests record it and answer from a
// script.
class MessageBox {
public:
    enum class Icon { NoIcon, Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBox() = default;
    virtual Answer show(const QString &text, Icon icon, Buttons buttons, const QString &title) = 0;

    // The common case: one OK button.
    void tell(const QString &text, Icon icon, const QString &title) { show(text, icon, Buttons::Ok, title); }
    bool askYesNo(const QString &text, const QString &title)
    {
        return show(text, Icon::Question, Buttons::YesNo, title) == Answer::Yes;
    }
};

} // namespace tavlo
