#include "components/PropertyBag.h"

#include <QDataStream>
#include <QIODevice>

namespace tavlo {

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    return m_values.value(name, defaultValue);
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    // Only what differs from the default is kept; a later read gets the default back.
    if (defaultValue.isValid() && value == defaultValue)
        m_values.remove(name);
    else if (!value.isValid() || value.isNull())
        m_values.remove(name);
    else
        m_values.insert(name, value);
}

QByteArray PropertyBag::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << m_values;
    return bytes;
}

PropertyBag PropertyBag::fromBytes(const QByteArray &bytes, bool *ok)
{
    PropertyBag bag;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    in >> bag.m_values;
    const bool good = in.status() == QDataStream::Ok;
    if (!good)
        bag.m_values.clear();
    if (ok)
        *ok = good;
    return bag;
}

} // namespace tavlo
