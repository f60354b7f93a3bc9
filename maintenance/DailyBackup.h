#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

namespace rp::dailybackup {

// Backups the program keeps by itself in a folder beside the database: one checked copy per business
// day, and a copy of the database as it was before each restore, so that a wrong restore can be undone.
// The newest Keep of each kind are kept.
constexpr int Keep = 14;

enum class Kind { Daily, BeforeRestore };

struct Entry
{
    QString path;
    Kind kind = Kind::Daily;
    QDateTime made;   // the business day (daily copies) or the moment of the restore
};

QString Folder(const QString &dbPath);                        // "backup" beside the database
QString DailyPath(const QString &folder, const QDate &day);   // rosterpad_yyyyMMdd.mdb
QString BeforeRestorePath(const QString &folder, const QDateTime &at);
// The backups found in the folder, newest first; files of other names are not the program's and are
// left alone.
QVector<Entry> List(const QString &folder);
// The backups beyond the newest Keep of their kind.
QStringList Surplus(const QVector<Entry> &entries);

struct Outcome
{
    bool made = false;     // a new copy is in place
    QString failure;       // what went wrong, for the operator; empty on success or when there was nothing to do
};

// Today's copy of the database, unless the folder holds one already: copied while no one writes, checked
// the way a restore checks a file, then renamed into place; only then are surplus ones removed. A failure
// leaves every older copy as it was.
Outcome MakeDaily(const QString &dbPath, const QDate &businessDay);
// Removes the surplus backups of the folder.
void Rotate(const QString &folder);

// The number of bookings a backup holds; nullopt when it cannot be read.
std::optional<qint64> Bookings(const QString &path);

} // namespace rp::dailybackup
