#include "components/BgrColor.h"

namespace tavlo {

BgrColor BgrColor::fromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return fromRgb(rgb.red(), rgb.green(), rgb.blue());
}

QColor BgrColor::color(const QPalette &palette) const
{
    if (!isSystemColor())
        return QColor(rgb());
    switch (m_value & 0xFF) {
    case Window: return palette.color(QPalette::Active, QPalette::Base);
    case WindowText: return palette.color(QPalette::Active, QPalette::WindowText);
    case Highlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case HighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case ButtonFace: return palette.color(QPalette::Active, QPalette::Button);
    case ButtonShadow: return palette.color(QPalette::Active, QPalette::Dark);
    case GrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    case ButtonText: return palette.color(QPalette::Active, QPalette::ButtonText);
    case ButtonHighlight: return palette.color(QPalette::Active, QPalette::Light);
    case DarkShadow3D: return palette.color(QPalette::Active, QPalette::Shadow);
    case Light3D: return palette.color(QPalette::Active, QPalette::Midlight);
    default: return QColor(Qt::black);
    }
}

} // namespace tavlo
