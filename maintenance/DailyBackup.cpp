#include "maintenance/DailyBackup.h"

#include "app/StartupBackup.h"
#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace rp::dailybackup {

namespace {

const QString Prefix = QStringLiteral("rosterpad_");
const QString BeforeRestoreMark = QStringLiteral("_リストア前");

} // namespace

QString Folder(const QString &dbPath) { return QFileInfo(dbPath).absolutePath() + QStringLiteral("/backup"); }

QString DailyPath(const QString &folder, const QDate &day)
{
    return folder + QLatin1Char('/') + Prefix + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".mdb");
}

QString BeforeRestorePath(const QString &folder, const QDateTime &at)
{
    return folder + QLatin1Char('/') + Prefix + at.toString(QStringLiteral("yyyyMMdd_HHmmss")) + BeforeRestoreMark
        + QStringLiteral(".mdb");
}

QVector<Entry> List(const QString &folder)
{
    static const QRegularExpression daily(QStringLiteral("^rosterpad_(\\d{8})\\.mdb$"));
    static const QRegularExpression before(QStringLiteral("^rosterpad_(\\d{8}_\\d{6})_リストア前\\.mdb$"));
    QVector<Entry> out;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({Prefix + QStringLiteral("*.mdb")}, QDir::Files)) {
        Entry e;
        e.path = dir.filePath(name);
        if (const auto m = daily.match(name); m.hasMatch()) {
            e.kind = Kind::Daily;
            e.made = QDateTime(QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd")), QTime(0, 0));
        } else if (const auto b = before.match(name); b.hasMatch()) {
            e.kind = Kind::BeforeRestore;
            e.made = QDateTime::fromString(b.captured(1), QStringLiteral("yyyyMMdd_HHmmss"));
        }
        if (e.made.isValid())
            out << e;
    }
    std::sort(out.begin(), out.end(), [](const Entry &a, const Entry &b) { return a.made > b.made; });
    return out;
}

QStringList Surplus(const QVector<Entry> &entries)
{
    QStringList out;
    int daily = 0, before = 0;
    for (const Entry &e : entries) {   // newest first
        int &seen = e.kind == Kind::Daily ? daily : before;
        if (++seen > Keep)
            out << e.path;
    }
    return out;
}

void Rotate(const QString &folder)
{
    for (const QString &path : Surplus(List(folder)))
        QFile::remove(path);
}

Outcome MakeDaily(const QString &dbPath, const QDate &businessDay)
{
    const QString folder = Folder(dbPath);
    const QString target = DailyPath(folder, businessDay);
    if (QFileInfo::exists(target))
        return {};
    if (!QDir().mkpath(folder))
        return {false, QStringLiteral("自動バックアップのフォルダー %1 を作成できませんでした。").arg(QDir::toNativeSeparators(folder))};
    StartupBackup copy(dbPath, target);
    copy.setLabel(QStringLiteral("日ごとの自動バックアップ"));
    copy.start();
    copy.wait();
    const StartupBackup::Result result = copy.result();
    if (result.outcome != StartupBackup::Outcome::Refreshed)
        return {false, result.reason};
    // Only a new good copy makes room: a failed day never costs an older one.
    Rotate(folder);
    return {true, {}};
}

std::optional<qint64> Bookings(const QString &path) { return Database::bookingCount(path); }

} // namespace rp::dailybackup
