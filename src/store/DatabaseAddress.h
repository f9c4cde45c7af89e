#pragma once

#include <QString>

namespace tavlo {

// Where the waiting lists live, as the DataBase setting names it: a file path (the embedded
// engine), or a PostgreSQL connection address for rooms with several desks, in the usual forms:
//   postgresql://[user[:password]@][host][:port][/database][?parameter=value&...]
// (also postgres://; a host may be a socket folder, percent-encoded or given as ?host=/path).
struct DatabaseAddress {
    enum class Engine { File, Server };

    Engine engine = Engine::File;
    QString filePath;
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString database;
    QString options; // the driver's connect options, "name=value;..."

    static DatabaseAddress parse(const QString &setting);
    bool isServer() const { return engine == Engine::Server; }
    // The address as messages show it: never with its password.
    QString shown() const;
};

} // namespace tavlo
