#include "components/StoredProperties.h"

#include "components/BgrColor.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QMetaProperty>
#include <QSettings>
#include <QWidget>

namespace tavlo {

namespace {

bool isEnumeration(QMetaType type)
{
    return type.flags().testFlag(QMetaType::IsEnumeration);
}

QVariant toStored(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QColor:
        return BgrColor::fromColor(value.value<QColor>()).value();
    case QMetaType::QFont:
        return value.value<QFont>().toString();
    case QMetaType::QImage: {
        const QImage image = value.value<QImage>();
        if (image.isNull())
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    }
    default:
        if (isEnumeration(value.metaType()))
            return value.toInt();
        return value;
    }
}

QVariant fromStored(const QVariant &stored, QMetaType type, const QPalette &palette)
{
    switch (type.id()) {
    case QMetaType::QColor: {
        bool ok = false;
        const uint bgr = stored.toUInt(&ok);
        return ok ? QVariant(BgrColor(bgr).color(palette)) : QVariant();
    }
    case QMetaType::QFont: {
        QFont font;
        return font.fromString(stored.toString()) ? QVariant(font) : QVariant();
    }
    case QMetaType::QImage: {
        const QImage image = QImage::fromData(stored.toByteArray(), "PNG");
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default: {
        if (isEnumeration(type)) {
            bool ok = false;
            const int n = stored.toInt(&ok);
            return ok ? QVariant(type, &n) : QVariant();
        }
        QVariant value = stored;
        return value.convert(type) ? value : QVariant();
    }
    }
}

QPalette paletteOf(const QObject &object)
{
    if (const auto *widget = qobject_cast<const QWidget *>(&object))
        return widget->palette();
    return QGuiApplication::palette();
}

QMetaType typeOf(const QObject &object, const char *name)
{
    const int index = object.metaObject()->indexOfProperty(name);
    Q_ASSERT_X(index >= 0, "StoredProperties", name);
    return index >= 0 ? object.metaObject()->property(index).metaType() : QMetaType();
}

} // namespace

void StoredProperties::writeValue(QSettings &settings, const QString &key, const QVariant &value,
                                  const QVariant &defaultValue)
{
    // Compared in stored form, so that what reads back alike counts as alike.
    const QVariant stored = toStored(value);
    if (!stored.isValid() || stored == toStored(defaultValue))
        settings.remove(key);
    else
        settings.setValue(key, stored);
}

QVariant StoredProperties::readValue(const QSettings &settings, const QString &key, const QVariant &defaultValue,
                                     const QPalette &palette)
{
    if (!settings.contains(key))
        return defaultValue;
    const QVariant value = fromStored(settings.value(key), defaultValue.metaType(), palette);
    return value.isValid() ? value : defaultValue;
}

void StoredProperties::write(QSettings &settings, const QObject &object, const char *name,
                             const QVariant &defaultValue)
{
    Q_ASSERT_X(object.metaObject()->indexOfProperty(name) >= 0, "StoredProperties", name);
    writeValue(settings, QLatin1String(name), object.property(name), defaultValue);
}

void StoredProperties::read(const QSettings &settings, QObject &object, const char *name,
                            const QVariant &defaultValue)
{
    const QString key = QLatin1String(name);
    QVariant value = defaultValue;
    if (settings.contains(key)) {
        const QVariant stored = fromStored(settings.value(key), typeOf(object, name), paletteOf(object));
        if (stored.isValid())
            value = stored;
    }
    object.setProperty(name, value);
}

} // namespace tavlo
