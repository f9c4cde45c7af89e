#pragma once

#include "display/QrCode.h"
#include "display/ViewerTheme.h"

#include <QUrl>
#include <QWidget>

namespace tavlo::display {

// The corner of the large screen that tells players where the board is on their phones: a QR
// code of the page's address, and the address in small type beside it.
class WebAddressBadge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url WRITE setUrl)
public:
    explicit WebAddressBadge(QWidget *parent = nullptr);

    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url);
    void setTheme(const ViewerTheme &theme);
    const QrCode &code() const { return m_code; }

    // The size it takes on a screen of this height; it grows with the screen, so that the code
    // stays readable from a few steps away.
    QSize sizeFor(const QSize &screen) const;
    // The code's side in pixels on a screen of this height.
    static int codeSide(int screenHeight);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption() const;

    QUrl m_url;
    QrCode m_code;
    ViewerTheme m_theme = ViewerTheme::of(ViewerTheme::Kind::Standard);
};

} // namespace tavlo::display
