#pragma once

#include <QBitArray>
#include <QByteArray>
#include <QImage>

namespace tavlo::display {

// A QR code of a short text (an address), made with libqrencode: its modules, dark or light,
// and a picture of it with the quiet zone a reader needs around it.
class QrCode {
public:
    QrCode() = default;
    // Medium error correction: a screen seen at an angle, across a room, still reads.
    explicit QrCode(const QByteArray &text);

    bool isNull() const { return m_width == 0; }
    int width() const { return m_width; } // modules on a side
    bool isDark(int x, int y) const;

    // Dark modules on white, `scale` pixels each, with four modules of quiet zone.
    QImage image(int scale) const;
    static constexpr int kQuietModules = 4;

private:
    int m_width = 0;
    QBitArray m_modules;
};

} // namespace tavlo::display
