#pragma once

#include <QString>

#include <stdexcept>

namespace tavlo {

// A failure of the database, in the engine's own words. `Gone` means the command named a game
// or a player the database no longer holds (or, bringing one back, one it holds already);
// `ConnectionLost` that the database server went away, and the message says so plainly.
class StoreError : public std::runtime_error {
public:
    enum class Kind { Failure, Gone, ConnectionLost };

    explicit StoreError(const QString &message, Kind kind = Kind::Failure)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_kind(kind)
    {
    }
    const QString &message() const { return m_message; }
    Kind kind() const { return m_kind; }

private:
    QString m_message;
    Kind m_kind;
};

} // namespace tavlo
