#pragma once

#include "components/GdiCanvas.h"
#include "components/PropertyBag.h"

#include <QWidget>

class QLabel;
class QTimer;

namespace tavlo {

class PointerSource;
class UrlOpener;

// One line of text shown as a hyperlink: under the pointer it takes the hot colour and is
// underlined, and a click opens the stored address with the desktop's default handler. The
// component is always exactly as large as its text.
class HotLabel : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("tavloComponent", "true")
    // The auto-sizer scales the text through this property.
    Q_PROPERTY(double FontSize READ FontSize WRITE setFontSize)
public:
    explicit HotLabel(QWidget *parent = nullptr);

    QString Caption() const;
    void setCaption(const QString &caption);
    QString URL() const { return m_url; }
    void setURL(const QString &url) { m_url = url; }
    double FontSize() const;
    void setFontSize(double size);
    // The component's font, shared with its label.
    QFont Font() const { return font(); }
    void setFont(const QFont &font);
    OleColor ForeColor() const { return m_foreColor; }
    void setForeColor(OleColor color);
    OleColor BackColor() const { return m_backColor; }
    void setBackColor(OleColor color);
    OleColor HotColor() const { return m_hotColor; }
    void setHotColor(OleColor color) { m_hotColor = color; }
    // Enables or disables the label (and with it hover and click).
    bool Enabled() const;
    void setEnabled(bool enabled);
    bool ShowHand() const { return m_showHand; }
    void setShowHand(bool show);

    // A new instance placed by a designer, without stored properties.
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Where the pointer is read from and how addresses are opened; the real ones by default.
    void setPointerSource(PointerSource *source);
    void setUrlOpener(UrlOpener *opener);

    QLabel *lblURL() const { return m_label; }
    bool isHot() const;
    // The caption shown before any is stored.
    static QString defaultCaption();

public slots:
    // The hover poll; the 200 ms timer calls it while the label is hot.
    void Timer1_Timer();

signals:
    void Click();
    // The host saves the properties when it hears this.
    void PropertyChanged(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void UserControl_Resize();
    void ApplyPointer();
    void lblURL_MouseMove();
    void lblURL_Click();
    void setLabelColor(OleColor color);
    void setLabelUnderline(bool underline);
    void giveFontToLabel();
    void applyBackColor();
    QFont ambientFont() const;
    OleColor ambientBackColor() const;

    QLabel *m_label;
    QTimer *m_timer;
    QString m_url;
    OleColor m_foreColor = 0;
    OleColor m_backColor = 0;
    OleColor m_hotColor = 255;
    OleColor m_labelColor = 0;
    bool m_showHand = true;
    bool m_normalUnderline = false;
    PointerSource *m_pointer;
    UrlOpener *m_opener;
};

} // namespace tavlo
