#pragma once

#include <QString>

namespace tavlo {

// Message boxes in the classic style values: the style adds a button set and an icon,
// the answer is the classic button code. Tests answer from a script through this interface.
class MessageBox {
public:
    enum Style : int {
        OkOnly = 0,
        YesNo = 4,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
    };
    enum Answer : int {
        Ok = 1,
        Cancel = 2,
        Yes = 6,
        No = 7,
    };

    virtual ~MessageBox() = default;
    virtual int show(const QString &text, int style, const QString &title) = 0;
};

} // namespace tavlo
