#pragma once

#include <QColor>
#include <QLabel>
#include <QPointer>

class QSettings;
class QWindow;

namespace tavlo {

class UrlOpener;

// One line of text shown as a link: under the pointer it takes the hot colour and is
// underlined, and a left click emits clicked() and opens the address through the opener
// (the desktop's, which opens web and mail addresses only). The label is always exactly as
// large as its text.
//
// Hover starts with enterEvent(). Leaving the text is not yet leaving the link: the pointer
// may stray up to one pixel (15 twips) beyond the label's edges, or two beyond its right and
// bottom edges, which count from the last pixel. While hot the label watches its window's
// mouse moves, which arrive wherever the pointer is in the window, and cools down on the
// first one beyond that margin, or when the pointer leaves the window.
class LinkLabel : public QLabel {
    Q_OBJECT
    // The property names are capitalised because saved settings keep the values under them.
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(QString URL READ url WRITE setUrl)
    Q_PROPERTY(QFont Font READ normalFont WRITE setNormalFont)
    Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor HotColor READ hotColor WRITE setHotColor)
    Q_PROPERTY(bool ShowHand READ showHand WRITE setShowHand)
    Q_PROPERTY(double FontSize READ fontSize WRITE setFontSize STORED false)

public:
    explicit LinkLabel(QWidget *parent = nullptr);
    ~LinkLabel() override;

    // The text, and the label takes its size (QLabel::setText() leaves the size as it was).
    void setCaption(const QString &caption);
    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }
    // The font outside hover; hover only adds the underline. Setting the widget's font
    // directly works as well, except that during hover its underline is taken as hover's.
    QFont normalFont() const;
    void setNormalFont(const QFont &font);
    double fontSize() const { return font().pointSizeF(); }
    // Sizes no font can have are ignored.
    void setFontSize(double points);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &color);
    // Without a colour of its own (an invalid one) the label shows its window's background.
    QColor backColor() const;
    void setBackColor(const QColor &color);
    QColor hotColor() const { return m_hotColor; }
    // A hot colour equal to the fore colour turns hover off altogether.
    void setHotColor(const QColor &color) { m_hotColor = color; }
    bool showHand() const { return m_showHand; }
    void setShowHand(bool show);

    // Who opens the address; nullptr restores the desktop's opener.
    void setUrlOpener(UrlOpener *opener);
    bool isHot() const { return m_hot; }

    void writeSettings(QSettings &settings) const;
    void readSettings(const QSettings &settings);

    static QString defaultCaption();

signals:
    void clicked();
    void hoveredChanged(bool hovered);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHot(bool hot);
    void applyFont(const QFont &font);
    void applyPalette();
    void fitToText();
    bool beyondMargin(QPointF globalPosition) const;
    QColor ambientBackColor() const;
    QFont ambientFont() const;

    QString m_url;
    QColor m_foreColor{Qt::black};
    QColor m_backColor;
    QColor m_hotColor{Qt::red};
    bool m_showHand = true;
    bool m_normalUnderline = false;
    bool m_hot = false;
    bool m_applyingFont = false;
    QPointer<QWindow> m_watchedWindow;
    UrlOpener *m_opener;
};

} // namespace tavlo
