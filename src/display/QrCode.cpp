#include "display/QrCode.h"

#include <QPainter>

#include <qrencode.h>

#include <memory>

namespace tavlo::display {

QrCode::QrCode(const QByteArray &text)
{
    if (text.isEmpty())
        return;
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
            QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        return; // too long for any version: no code rather than a wrong one
    m_width = code->width;
    m_modules.resize(m_width * m_width);
    for (int i = 0; i < m_width * m_width; ++i)
        m_modules.setBit(i, code->data[i] & 1);
}

bool QrCode::isDark(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_width && y < m_width && m_modules.testBit(y * m_width + x);
}

QImage QrCode::image(int scale) const
{
    if (isNull() || scale < 1)
        return {};
    const int side = (m_width + 2 * kQuietModules) * scale;
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (int y = 0; y < m_width; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (isDark(x, y))
                painter.fillRect((x + kQuietModules) * scale, (y + kQuietModules) * scale, scale, scale, Qt::black);
        }
    }
    return picture;
}

} // namespace tavlo::display
