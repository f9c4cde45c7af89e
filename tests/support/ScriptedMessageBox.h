#pragma once

#include "platform/MessageBox.h"

#include <QList>
#include <QString>

namespace tavlo::test {

// Records every message box and answers from a queue; with the queue empty it answers the
// first button of the style (OK, or Yes for a Yes/No box).
class ScriptedMessageBox final : public MessageBox {
public:
    struct Shown {
        QString text;
        int style;
        QString title;
    };

    int show(const QString &text, int style, const QString &title) override
    {
        shown.append({text, style, title});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return (style & 0x0F) == YesNo ? Yes : Ok;
    }

    int count(const QString &text) const
    {
        int n = 0;
        for (const Shown &s : shown)
            n += s.text == text ? 1 : 0;
        return n;
    }

    QList<Shown> shown;
    QList<int> answers;
};

} // namespace tavlo::test
