#include "display/WebAddressBadge.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tavlo::display {

namespace {

int captionPixels(int side)
{
    return std::max(10, side / 9);
}

} // namespace

WebAddressBadge::WebAddressBadge(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WebAddressBadge::setUrl(const QUrl &url)
{
    m_url = url;
    m_code = QrCode(url.toString(QUrl::FullyEncoded).toUtf8());
    update();
}

void WebAddressBadge::setTheme(const ViewerTheme &theme)
{
    m_theme = theme;
    update();
}

QString WebAddressBadge::caption() const
{
    return m_url.authority(); // what a person types: the scheme and the "/" go without saying
}

int WebAddressBadge::codeSide(int screenHeight)
{
    return std::clamp(screenHeight * 17 / 100, 96, 600);
}

QSize WebAddressBadge::sizeFor(const QSize &screen) const
{
    const int side = codeSide(screen.height());
    const int pixels = captionPixels(side);
    const QFontMetrics metrics(ViewerTheme::font(pixels, false));
    const int text = std::max(metrics.horizontalAdvance(tr("Your place on your phone")), metrics.horizontalAdvance(caption()));
    return {side + pixels + text + pixels, side};
}

void WebAddressBadge::paintEvent(QPaintEvent *)
{
    if (m_code.isNull())
        return;
    QPainter painter(this);
    const int side = height();
    // As many whole pixels per module as fit, so that every module is sharp.
    const int scale = std::max(1, side / (m_code.width() + 2 * QrCode::kQuietModules));
    const QImage picture = m_code.image(scale);
    const QPoint codeAt(width() - picture.width(), (side - picture.height()) / 2);
    painter.drawImage(codeAt, picture);

    const int pixels = captionPixels(side);
    const QRect text(0, 0, codeAt.x() - pixels / 2, side);
    painter.setFont(ViewerTheme::font(pixels, true));
    painter.setPen(m_theme.quiet);
    const QFontMetrics metrics(painter.font());
    const int lines = metrics.height();
    const int top = side - 2 * lines - pixels / 2;
    painter.drawText(QRect(text.left(), top, text.width(), lines), Qt::AlignRight | Qt::AlignVCenter,
                     tr("Your place on your phone"));
    painter.setFont(ViewerTheme::font(pixels, false));
    painter.setPen(m_theme.text);
    painter.drawText(QRect(text.left(), top + lines, text.width(), lines), Qt::AlignRight | Qt::AlignVCenter, caption());
}

} // namespace tavlo::display
