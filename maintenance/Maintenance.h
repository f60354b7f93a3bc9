#pragma once

#include "data/Background.h"
#include "data/Prompt.h"

#include <QDate>
#include <QString>
#include <memory>
#include <optional>

class QTemporaryFile;
class QWidget;

namespace rp {

class Application;
class Database;

// Looking after the database file as a whole: backup, restore, compaction and the purge of old history.
// Each operation asks the operator through Prompt() and reports what went wrong itself; the file under
// the database's name is at every moment either the old one or a complete new one.
namespace maintenance {

enum class Outcome { Done, Cancelled, Refused, Failed };

// Told instead of a restore or compaction when the data is on a PostgreSQL server.
QString ServerMaintenanceMessage();
// The save dialog of a server's backup (a pg_dump file); before any was chosen it offers a name that
// carries the day in the program's folder.
FileDialogSpec ServerBackupDialog(const QString &lastFileName, const QString &folder, const QDate &today);

// The file dialogs of backup and restore; the name chosen last is offered again. Before any was
// chosen they open in the database's folder, a backup with a name that carries the day.
FileDialogSpec BackupDialog(const QString &lastFileName, const QString &dbPath = {}, const QDate &today = {});
FileDialogSpec RestoreDialog(const QString &lastFileName, const QString &dbPath = {});

// Deletes every history row dated upTo or earlier (with its charge lines), then the shops and companions
// marked deleted that no history row refers to any more; all of it or nothing. Throws AppError. (Defined in
// MaintenanceStore.cpp.)
void PurgeHistory(Database &db, const QDate &upTo);
// Why a purge up to this date may not run on the given business day; empty when it may. The day's
// bookings, and any later ones, may still be running or be changed.
QString PurgeDateRefusal(const QDate &upTo, const QDate &businessDay);

// Why a chosen file may not be used as a backup target or a restore source; empty when it may.
QString BackupTargetRefusal(const QString &target, const QString &dbPath);
QString RestoreSourceRefusal(const QString &source, const QString &dbPath);

// A complete copy of a file written beside its destination under a temporary name, so that the
// destination is replaced in one step (install) or not at all. Dropped without install, it is removed.
// `place` names, for the operator, where the copy is written when that fails; progress hears of every
// chunk copied.
class StagedCopy
{
public:
    StagedCopy(const QString &source, const QString &destination, const QString &place,
               const ProgressFn &progress = {});   // throws AppError
    ~StagedCopy();
    StagedCopy(const StagedCopy &) = delete;
    StagedCopy &operator=(const StagedCopy &) = delete;

    QString path() const;
    void install();   // throws AppError; the destination is untouched then

private:
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_destination;
};

// Puts source in place of destination in one step, replacing it; throws AppError.
void ReplaceFile(const QString &source, const QString &destination);
// Puts a database file in place of another. The engine's side files of the file replaced (a journal
// left by a crash above all) go with it: opened beside the new file, they would be played into it.
void ReplaceDatabaseFile(const QString &source, const QString &destination);

// For tests: every file copy from now on fails after this many bytes, as a full disk would; -1 turns it off.
void FailFileCopiesAfter(qint64 bytes);

// The menu operations. lastFileName is the dialog's memory of the name chosen last.
Outcome Backup(Application &app, QWidget *parent, QString &lastFileName);
Outcome Restore(Application &app, QWidget *parent, QString &lastFileName);
Outcome Compact(Application &app, QWidget *parent);
Outcome Purge(Application &app, QWidget *parent);

} // namespace maintenance
} // namespace rp
