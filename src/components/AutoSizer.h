#pragma once

#include <QMap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class QPushButton;
class QTimer;

namespace tavlo {

// Keeps every control of the window that holds it in proportion with that window. Shortly
// after the window comes up (the first tick of a 10 ms timer) it records each control's
// place, size and font size as fractions of the window's client size; from then on every
// resize of the window re-places all controls from that unchanged table.
//
// The window is the parent widget. Its controls are its named descendants in creation
// order: a widget without a name is passed over but its children are looked at, Qt's own
// parts ("qt_" names) and separate windows are skipped with everything inside them, and a
// component (class info "tavloComponent") is a control without its insides. Properties are
// read by name: a Qt property "X1", "Y1", "X2", "Y2", "Left", "Top", "Width", "Height" or
// "FontSize" wins; otherwise the place and size are the widget's geometry and the font size
// is its font's point size. A control with an "X1" property (other than -1) is a line. The
// dynamic property "Index" makes a control a member of a control array, keyed "Name(Index)".
class AutoSizer : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("tavloComponent", "true")
public:
    explicit AutoSizer(QWidget *parent = nullptr);

    // Records the layout table for the holding window and starts following its resizes.
    void GetProps();
    // Re-places every control from the table.
    void frm_Resize();

    // For shapes and pictures: a control so marked has no font size to record or scale.
    static void markWithoutFont(QWidget *control);
    // The controls as GetProps and frm_Resize walk them.
    static QList<QWidget *> controlsOf(QWidget *window);
    // Name, or Name(Index) for a member of a control array.
    static QString controlKey(const QWidget *control);

    const QMap<QString, double> &layoutTable() const { return m_table; }
    QWidget *frm() const { return m_frm; }
    QPushButton *face() const { return cc; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void tmrint_Timer();

    QPushButton *cc;
    QTimer *tmrint;
    QMap<QString, double> m_table;
    QPointer<QWidget> m_frm;
};

} // namespace tavlo
