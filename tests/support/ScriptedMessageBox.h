#pragma once

#include "platform/MessageBox.h"

#include <QList>
#include <QString>

namespace tavlo::test {

// Records every message box and answers from a queue; with the queue empty it answers the
// first button (OK, or Yes for a Yes/No box).
class ScriptedMessageBox final : public MessageBox {
public:
    struct Shown {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };

    Answer show(const QString &text, Icon icon, Buttons buttons, const QString &title) override
    {
        shown.append({text, icon, buttons, title});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }

    int count(const QString &text) const
    {
        int n = 0;
        for (const Shown &s : shown)
            n += s.text == text ? 1 : 0;
        return n;
    }

    QList<Shown> shown;
    QList<Answer> answers;
};

} // namespace tavlo::test
