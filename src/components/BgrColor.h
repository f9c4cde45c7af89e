#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

namespace tavlo {

// A colour as the layout values and stored settings write it: &H00BBGGRR, red in the low
// byte. A value with the top bit set refers to a system colour by its classic index; such a
// reference only becomes a colour against a palette.
class BgrColor {
public:
    // The classic system colour indices; each maps to a palette role (see color()).
    enum SystemColor : quint8 {
        Window = 5,
        WindowText = 8,
        Highlight = 13,
        HighlightText = 14,
        ButtonFace = 15,
        ButtonShadow = 16,
        GrayText = 17,
        ButtonText = 18,
        ButtonHighlight = 20,
        DarkShadow3D = 21,
        Light3D = 22,
    };

    constexpr BgrColor() = default;
    constexpr explicit BgrColor(quint32 value) : m_value(value) {}

    static constexpr BgrColor fromRgb(int red, int green, int blue)
    {
        return BgrColor(quint32(red & 0xFF) | (quint32(green & 0xFF) << 8) | (quint32(blue & 0xFF) << 16));
    }
    static constexpr BgrColor system(SystemColor index) { return BgrColor(SystemFlag | quint32(index)); }
    // The colour's channels; the alpha channel is not kept.
    static BgrColor fromColor(const QColor &color);

    constexpr quint32 value() const { return m_value; }
    constexpr bool isSystemColor() const { return (m_value & SystemFlag) != 0; }

    // The channels of a plain colour; a system colour has to be resolved with color() first.
    constexpr QRgb rgb() const
    {
        return qRgb(int(m_value & 0xFF), int((m_value >> 8) & 0xFF), int((m_value >> 16) & 0xFF));
    }
    // A system colour is taken from the palette's matching role; an unknown index is black.
    QColor color(const QPalette &palette) const;

    friend constexpr bool operator==(BgrColor, BgrColor) = default;

private:
    static constexpr quint32 SystemFlag = 0x80000000u;
    quint32 m_value = 0;
};

} // namespace tavlo
