#include "data/ServerDump.h"

#include "data/AppError.h"

#include <QProcess>
#include <QStandardPaths>

namespace rp {

QString PgDumpProgram() { return QStandardPaths::findExecutable(QStringLiteral("pg_dump")); }

QString PgDumpMissingMessage()
{
    return QStringLiteral("データベースサーバー (PostgreSQL) のバックアップには pg_dump が必要ですが、"
                          "このコンピューターにはインストールされていません。\r\n"
                          "（Debian では postgresql-client パッケージに含まれています。）バックアップは作成していません。");
}

void DumpServerDatabase(const ConnectionSettings &s, const QString &path, const std::function<void()> &whileRunning)
{
    const QString program = PgDumpProgram();
    if (program.isEmpty())
        throw AppError(AppError::FileNotFound, PgDumpMissingMessage());
    QStringList arguments{QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                          QStringLiteral("--port=%1").arg(s.port), QStringLiteral("--file=") + path};
    if (!s.host.isEmpty())
        arguments << QStringLiteral("--host=") + s.host;
    if (!s.user.isEmpty())
        arguments << QStringLiteral("--username=") + s.user;
    arguments << QStringLiteral("--dbname=") + s.name;

    QProcess dump;
    dump.setProgram(program);
    dump.setArguments(arguments);
    dump.setProcessChannelMode(QProcess::SeparateChannels);
    dump.start();
    if (!dump.waitForStarted())
        throw AppError(AppError::FileNotFound, PgDumpMissingMessage() + QStringLiteral(" (") + dump.errorString() + QLatin1Char(')'));
    while (!dump.waitForFinished(50)) {
        if (dump.state() == QProcess::NotRunning)
            break;
        if (whileRunning)
            whileRunning();
    }
    if (dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0)
        throw AppError(AppError::PathFileAccess,
                       QStringLiteral("pg_dump がバックアップに失敗しました (サーバー ") + s.server() + QStringLiteral(")\r\n")
                           + QString::fromLocal8Bit(dump.readAllStandardError()).trimmed());
}

} // namespace rp
