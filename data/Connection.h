#pragma once

#include <QString>

namespace rp {

// Where the data lives: the SQLite file beside the program (nothing to set up), or a PostgreSQL database
// shared by several reception PCs, named in rosterpad.ini beside the program.
enum class Engine { SQLite, PostgreSQL };

struct ConnectionSettings
{
    Engine engine = Engine::SQLite;
    QString host;   // empty: the server's default (a Unix socket); a path names the socket's folder
    int port = 5432;
    QString name;   // the database
    QString user;

    // "host:port/name", as messages name the server.
    QString server() const;
};

QString SettingsFileName();   // "rosterpad.ini"

// The settings file in folder ([Database] Engine, Host, Port, Name, User). No file, or one that does not
// name PostgreSQL, means the SQLite file. A password is never read from it: PostgreSQL's own password
// file (PGPASSFILE or ~/.pgpass) gives it.
ConnectionSettings ReadSettings(const QString &folder);

// Writes the settings file into folder (the test kit points a test's program at its server this way).
void WriteSettings(const QString &folder, const ConnectionSettings &settings);

// True when a failure's text or state says that an open connection to the server went away (server
// restarted or stopped, session ended by the administrator, line cut), as opposed to a refused statement.
bool ConnectionWasLost(const QString &engineText, const QString &sqlState = {});

// The operator's message for a failure to reach or use the server: the cause in Japanese, the server,
// then the engine's own text.
QString ServerProblemText(const ConnectionSettings &settings, const QString &engineText, const QString &sqlState = {});

} // namespace rp
