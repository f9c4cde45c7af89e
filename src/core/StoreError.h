#pragma once

#include <QString>

#include <stdexcept>

namespace tavlo {

// A failure of the database layer or of file output, in the words of whatever failed.
// Commands let it run up to the event handler, which reports it and ends the program.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tavlo
