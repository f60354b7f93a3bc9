#pragma once

#include "data/AppError.h"
#include "data/Connection.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QLockFile;
class QThread;

namespace rp {

class ChangeFeed;
class Database;
class Module1;
class Main_Form;
class Form_ShopData;
class Form_GirlData;
class Form_Sales;
class frmSplash;
class frmAbout;
class StartupBackup;

// The whole program: start-up, its windows and its one database connection. The program's directory
// (where the database file, or the settings file naming a server, lives) is given, so tests build the
// program in a folder of their own.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(const QString &appPath, QObject *parent = nullptr);
    ~Application() override;

    // The splash's pause; tests shorten it.
    void setSplashWaitMs(int ms) { m_splashWaitMs = ms; }

    // Runs start-up and shows the board. False when a failure ended start-up early (it was reported),
    // when another copy of the program runs on this folder, or when start-up was ended by terminate().
    bool start();

    // Shutdown when the board is closed: true when the program may end.
    bool shutdown();
    // Ends the program at once, keeping the duty state (termination by the system). Safe at every
    // stage: open message boxes are closed; during start-up, or while a box of a handler was open,
    // start-up or that handler unwinds first and the caller calls terminate() again from the top
    // (main does so after its event loop returns).
    void terminate();
    bool terminating() const { return m_terminating; }

    // Waits until the start-up backup is made (or refused) and reports its outcome if not yet done.
    void waitForStartupBackup();
    // For tests: the start-up backup finds only this many bytes free on the disk.
    void setBackupFreeSpaceLimit(qint64 bytes) { m_backupFreeSpace = bytes; }

    // The checked copy of each business day in the backup folder: made once the start-up backup is in
    // place, and again when a running program sees the day change (the board's tick asks). Cheap when
    // nothing is due. A failure is told once; it is tried again on the next day.
    void keepDailyBackup();
    void waitForDailyBackup();
    // For tests: whether the program keeps daily copies at all (it does unless told otherwise).
    void setDailyBackups(bool on) { m_dailyBackups = on; }

    QString AppPath;
    QString DbPath;
    QString BackupPath;
    // Read once at construction from rosterpad.ini beside the program; SQLite when there is none.
    ConnectionSettings Settings;
    bool onServer() const { return Settings.engine == Engine::PostgreSQL; }

    Database &database() { return *m_database; }
    Module1 &module() { return *m_module; }
    // The other PCs' changes (PostgreSQL); silent on SQLite.
    ChangeFeed &changes() { return *m_changes; }
    Main_Form *mainForm() const;
    Form_ShopData *shopForm() const;
    Form_GirlData *girlForm() const;
    Form_Sales *salesForm() const;
    frmSplash *splash() const;
    frmAbout *showAbout();

    bool startupCompleted() const { return m_started; }
    bool finished() const { return m_finished; }

private:
    void loadChildForms();
    void ensureStatusTable();
    void closeDatabase();
    // --- start-up safety ---
    bool takeLock();
    void prepareFile();
    bool createOrRestore();
    void startBackup();
    void reportBackupOutcome();
    void finishTermination();
    static bool closeOpenBoxes();

    std::unique_ptr<Database> m_database;
    std::unique_ptr<Module1> m_module;
    std::unique_ptr<ChangeFeed> m_changes;
    QPointer<Main_Form> m_main;
    QPointer<Form_ShopData> m_shopForm;
    QPointer<Form_GirlData> m_girlForm;
    QPointer<Form_Sales> m_salesForm;
    QPointer<frmSplash> m_splash;
    QPointer<frmAbout> m_about;
    int m_splashWaitMs = 1000;
    bool m_started = false;
    bool m_finished = false;
    // --- start-up safety ---
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<StartupBackup> m_backup;
    std::optional<AppError> m_fileProblem;   // found before the splash second, reported after it
    qint64 m_backupFreeSpace = -1;
    bool m_starting = false;
    bool m_terminating = false;
    bool m_backupReported = false;
    // --- daily backups ---
    void dailyBackupFinished();
    bool m_dailyBackups = true;
    QDate m_dailyDay;
    QThread *m_dailyThread = nullptr;
    QString m_dailyFailure;
};

} // namespace rp
