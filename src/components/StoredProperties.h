#pragma once

#include <QString>
#include <QVariant>

class QObject;
class QPalette;
class QSettings;

namespace tavlo {

// Keeps a component's stored properties in QSettings, each under its property name. A value
// equal to its default is not written (an older one is removed), so reading it back gives the
// default. Values stay readable in a settings file: colours as &H00BBGGRR numbers, fonts as
// QFont::toString(), enumerations as numbers, pictures as PNG. A stored value that cannot be
// read as the property's type counts as absent.
class StoredProperties {
public:
    // The Q_PROPERTY `name` of object.
    static void write(QSettings &settings, const QObject &object, const char *name, const QVariant &defaultValue);
    static void read(const QSettings &settings, QObject &object, const char *name, const QVariant &defaultValue);

    // A value kept under a key of its own choosing, for what is stored differently from the
    // property that shows it. The value read back has the default's type; a stored system
    // colour is resolved against the palette.
    static void writeValue(QSettings &settings, const QString &key, const QVariant &value,
                           const QVariant &defaultValue);
    static QVariant readValue(const QSettings &settings, const QString &key, const QVariant &defaultValue,
                              const QPalette &palette);
};

} // namespace tavlo
