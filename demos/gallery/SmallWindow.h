#pragma once

#include <QFrame>

namespace tavlo {

// A small console laid out in absolute positions, as the main window is, with a proportional
// scaler: when the gallery grows or shrinks, every control here keeps its share, fonts too.
class SmallWindow : public QFrame {
public:
    explicit SmallWindow(QWidget *parent = nullptr);

    // The size it is laid out for, which it has when the scaler records it.
    QSize sizeHint() const override { return {430, 216}; }
};

} // namespace tavlo
