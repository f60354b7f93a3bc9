#include "data/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace rp {

namespace {

const QString Group = QStringLiteral("Database");

// The cause, from the server's error state when there is one, otherwise from the client library's text
// (a connection that failed has no state).
QString causeOf(const QString &text, const QString &state)
{
    const QString t = text.toLower();
    if (ConnectionWasLost(text, state))
        return QStringLiteral("サーバーとの接続が切れました。");
    if (state == QLatin1String("28P01") || t.contains(QLatin1String("password authentication failed"))
        || t.contains(QLatin1String("no password supplied")))
        return QStringLiteral("パスワードが違います。");
    if (state == QLatin1String("28000") || (t.contains(QLatin1String("role \"")) && t.contains(QLatin1String("does not exist"))))
        return QStringLiteral("ユーザーが登録されていません。");
    if (state == QLatin1String("3D000") || (t.contains(QLatin1String("database \"")) && t.contains(QLatin1String("does not exist"))))
        return QStringLiteral("データベースがありません。");
    if (state == QLatin1String("42501") || t.contains(QLatin1String("permission denied")))
        return QStringLiteral("権限がありません。");
    if (t.contains(QLatin1String("no pg_hba.conf entry")))
        return QStringLiteral("このコンピューターからの接続が許可されていません。");
    return QStringLiteral("サーバーに接続できません。");
}

} // namespace

QString ConnectionSettings::server() const
{
    return (host.isEmpty() ? QStringLiteral("localhost") : host) + QLatin1Char(':') + QString::number(port)
        + QLatin1Char('/') + name;
}

QString SettingsFileName() { return QStringLiteral("rosterpad.ini"); }

ConnectionSettings ReadSettings(const QString &folder)
{
    ConnectionSettings s;
    const QString path = QDir(folder).filePath(SettingsFileName());
    if (!QFileInfo::exists(path))
        return s;
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(Group);
    if (ini.value(QStringLiteral("Engine")).toString().trimmed().compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) != 0)
        return s;
    s.engine = Engine::PostgreSQL;
    s.host = ini.value(QStringLiteral("Host")).toString().trimmed();
    bool ok = false;
    const int port = ini.value(QStringLiteral("Port")).toString().trimmed().toInt(&ok);
    if (ok && port > 0)
        s.port = port;
    s.name = ini.value(QStringLiteral("Name")).toString().trimmed();
    s.user = ini.value(QStringLiteral("User")).toString().trimmed();
    return s;
}

void WriteSettings(const QString &folder, const ConnectionSettings &s)
{
    QSettings ini(QDir(folder).filePath(SettingsFileName()), QSettings::IniFormat);
    ini.beginGroup(Group);
    ini.setValue(QStringLiteral("Engine"), s.engine == Engine::PostgreSQL ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"));
    ini.setValue(QStringLiteral("Host"), s.host);
    ini.setValue(QStringLiteral("Port"), s.port);
    ini.setValue(QStringLiteral("Name"), s.name);
    ini.setValue(QStringLiteral("User"), s.user);
    ini.endGroup();
    ini.sync();
}

bool ConnectionWasLost(const QString &text, const QString &state)
{
    // The server ended the session (restart, administrator) or the line went: 57P0x, 08000/08003/08006.
    static const QStringList states{QStringLiteral("57P01"), QStringLiteral("57P02"), QStringLiteral("57P03"),
                                    QStringLiteral("08000"), QStringLiteral("08003"), QStringLiteral("08006")};
    if (states.contains(state))
        return true;
    static const char *const texts[] = {"server closed the connection", "no connection to the server",
                                        "terminating connection", "could not receive data from server",
                                        "could not send data to server", "connection has been closed",
                                        "connection not open"};
    for (const char *known : texts)
        if (text.contains(QLatin1String(known), Qt::CaseInsensitive))
            return true;
    return false;
}

QString ServerProblemText(const ConnectionSettings &settings, const QString &engineText, const QString &sqlState)
{
    return causeOf(engineText, sqlState) + QStringLiteral(" (サーバー ") + settings.server() + QStringLiteral(")\n")
        + engineText.trimmed();
}

} // namespace rp
