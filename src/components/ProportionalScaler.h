#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace tavlo {

// Keeps every child of a window in proportion with it, fonts included. When the window is
// first shown the scaler records each child's place, size and font size as fractions of the
// window's size: across as fractions of its width, down (and the font) as fractions of its
// height, also for children of children, so that containers and their contents scale alike.
// Every later resize places the children again from that unchanged record, so a window made
// larger and back again looks exactly as before.
//
// The children are the window's descendants in creation order, except separate windows,
// widgets that a layout places, and the inner parts of Qt's compound widgets (object names
// beginning with "qt_"), each with everything inside them. A child created after the record
// is left where it is.
class ProportionalScaler : public QObject {
    Q_OBJECT
public:
    // Installs itself on window, which also owns it; records at once if the window is shown.
    explicit ProportionalScaler(QWidget *window);

    // Adds the children not yet recorded; those already recorded keep their first record.
    void record();
    bool hasRecorded() const { return m_recorded; }
    // Places every recorded child for the window's present size.
    void scale();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Proportions {
        QPointer<QWidget> widget;
        double left;
        double top;
        double width;
        double height;
        std::optional<double> fontSize; // none for a font given in pixels
    };

    QWidget *m_window;
    QList<Proportions> m_record;
    bool m_recorded = false;
};

} // namespace tavlo
