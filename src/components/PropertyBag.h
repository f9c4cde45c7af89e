#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tavlo {

// The host's store of a component's design settings: keyed values, read with a default,
// and a write that leaves out a value equal to its default so that only changes are kept.
class PropertyBag {
public:
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) const;
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {});

    bool contains(const QString &name) const { return m_values.contains(name); }
    QStringList keys() const { return m_values.keys(); }
    bool isEmpty() const { return m_values.isEmpty(); }
    void clear() { m_values.clear(); }

    // A byte form for keeping a bag in a file between runs.
    QByteArray toBytes() const;
    static PropertyBag fromBytes(const QByteArray &bytes, bool *ok = nullptr);

private:
    QMap<QString, QVariant> m_values;
};

} // namespace tavlo
