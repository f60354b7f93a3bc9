#include "app/Application.h"

#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "data/Database.h"
#include "data/Locks.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/Schema.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Main_Form.h"
#include "reception/StatusStore.h"
#include "sales/Form_Sales.h"

#include "app/StartupBackup.h"
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "maintenance/DailyBackup.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLockFile>
#include <QScopeGuard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace rp {

namespace {

// Replaces target with a copy of source without ever leaving target half-written.
void copyReplacing(const QString &source, const QString &target)
{
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        throw AppError(AppError::PathFileAccess, QStringLiteral("ファイルをコピーできません。: ") + target);
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw AppError(AppError::PathFileAccess, QStringLiteral("ファイルを置き換えられません。: ") + target);
    }
}

} // namespace

Application::Application(const QString &appPath, QObject *parent)
    : QObject(parent), m_database(std::make_unique<Database>()), m_module(std::make_unique<Module1>(*m_database))
{
    AppPath = QDir::cleanPath(QDir(appPath).absolutePath());
    DbPath = AppPath + QStringLiteral("/rosterpad.mdb");
    BackupPath = AppPath + QStringLiteral("/rosterpad.md_");
    Settings = ReadSettings(AppPath);
}

Application::~Application()
{
    waitForDailyBackup();
    m_backup.reset();   // waits for the worker, which removes its unfinished copy
    delete m_about;
    delete m_splash;
    delete m_main;   // owns the child windows
    m_database->close();
}

Main_Form *Application::mainForm() const { return m_main; }
Form_ShopData *Application::shopForm() const { return m_shopForm; }
Form_GirlData *Application::girlForm() const { return m_girlForm; }
Form_Sales *Application::salesForm() const { return m_salesForm; }
frmSplash *Application::splash() const { return m_splash; }

bool Application::start()
{
    m_starting = true;
    auto leave = qScopeGuard([this] { m_starting = false; });

    // One program per folder: a second copy would write its board back over the first one's bookings.
    // On a server the PCs are many by design; the lock, like the file's checks and backup, is SQLite's.
    if (!onServer() && !takeLock()) {
        Notice(nullptr, AppTitle() + QStringLiteral(" は既に起動しています。"));
        m_finished = true;
        return false;
    }

    // The splash paints while events keep flowing for one second; a key or click closes it early.
    m_splash = new frmSplash;
    m_splash->show();
    QElapsedTimer waited;
    waited.start();
    // The file is judged and its backup taken behind the splash, so a big file costs no extra time.
    if (!onServer())
        prepareFile();
    while (waited.elapsed() < m_splashWaitMs && !m_terminating) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    if (m_terminating) {
        finishTermination();
        return false;
    }

    m_main = new Main_Form(*this);
    m_module->setErrorParent(m_main);
    try {
        // The editors and the sales window exist, hidden, so the list loaders can fill them.
        m_splash->setMessage(QStringLiteral("Form Loading・・・"));
        loadChildForms();

        // The database file: checked and backed up, created on the very first run, or brought back.
        m_splash->setMessage(QStringLiteral("DataBase Open・・・"));
        if (onServer()) {
            // Never a local file instead: a server that cannot be used ends the program.
            m_database->connect(Settings);
            // Counted among the reception PCs for as long as this connection lives; waits while the
            // last PC of the night clears the board.
            JoinReceptionPCs(*m_database);
        } else if (m_fileProblem) {
            throw *m_fileProblem;
        } else if (m_backup) {
            // Nothing may write the file before its copy is taken.
            m_backup->waitForCopy();
        } else if (!createOrRestore()) {
            // The operator chose to end (or the system did): nothing was touched.
            finishTermination();
            return false;
        }
        m_splash->setMessage(QStringLiteral("初期設定中・・・"));
        if (!onServer())
            m_database->open(DbPath);

        // Lists and bit tables.
        m_module->LoadShopList();
        m_module->LoadCompanionList();
        m_module->InitBitMasks();

        // The working table of the board: kept from the previous run, or created and filled.
        ensureStatusTable();

        // The board's grids and an empty booking entry.
        m_main->PrepareGrids();
        m_main->ResetBookingEntry();
        m_main->Tariff.zeroTables();
        m_main->CurrentCustomerId = 0;

        // Damage already found behind the splash ends start-up like any other unusable file.
        if (m_backup && m_backup->isFinished() && m_backup->result().outcome == StartupBackup::Outcome::Damaged) {
            m_backupReported = true;
            m_database->close();
            throw AppError(m_backup->result().number, m_backup->result().reason);
        }
        // The shop this PC's board showed at its last close.
        m_main->ShowRememberedShop();
    } catch (const AppError &error) {
        if (onServer()) {
            // Told, then the program ends: nothing was written on the server.
            ShowCommonError(m_splash, error);
            m_database->close();
            closeDatabase();
            return false;
        }
        m_main->show();
        ShowCommonError(m_main, error);
        if (m_terminating) {
            finishTermination();
            return false;
        }
        // The splash stays until the operator dismisses it.
        m_starting = false;
        reportBackupOutcome();
        if (m_terminating)
            finishTermination();
        return false;
    }
    if (m_terminating) {
        finishTermination();
        return false;
    }

    // The board is the operator's whole screen.
    m_main->showMaximized();
    m_splash->close();
    m_main->warningTimer()->start();
    m_started = true;
    // The backup's outcome, if already known; otherwise it is told as soon as it is.
    m_starting = false;
    reportBackupOutcome();
    keepDailyBackup();
    // Ended by the system while that notice was open: the box is closed, and no event loop is there
    // yet to carry the end any further, so it is finished here.
    if (m_terminating) {
        finishTermination();
        return false;
    }
    return true;
}

bool Application::takeLock()
{
    m_lock = std::make_unique<QLockFile>(AppPath + QStringLiteral("/rosterpad.lck"));
    // A running program's lock never goes stale by age; one left by a dead program is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    const bool held = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    // A folder where no lock can be written is not a second copy: opening the file will tell what is wrong.
    return !held;
}

void Application::prepareFile()
{
    if (!QFileInfo::exists(DbPath) && !QFileInfo(DbPath).isSymLink())
        return;   // settled after the splash, with the operator
    try {
        Database::checkSchema(DbPath);
    } catch (const AppError &error) {
        m_fileProblem = error;
        return;
    }
    m_backup = std::make_unique<StartupBackup>(DbPath, BackupPath);
    m_backup->setFreeSpaceLimit(m_backupFreeSpace);
    connect(m_backup.get(), &StartupBackup::finished, this, [this] {
        reportBackupOutcome();
        keepDailyBackup();
    }, Qt::QueuedConnection);
    m_backup->start();
}

bool Application::createOrRestore()
{
    if (!QFileInfo::exists(BackupPath)) {
        // The very first run: no backup is made of a file that did not exist.
        Database::createFile(DbPath);
        return true;
    }
    const Answer answer = Prompt().message(
        m_main,
        QStringLiteral("データベースファイル %1 が見つかりません。\n起動時のバックアップ %2 から復元しますか？\n\n"
                       "［はい］バックアップから復元して起動します。\n"
                       "［いいえ］新しい空のデータベースを作成して起動します。\n"
                       "［キャンセル］何もせずに終了します。")
            .arg(QFileInfo(DbPath).fileName(), QFileInfo(BackupPath).fileName()),
        Buttons::YesNoCancel);
    if (m_terminating || answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes) {
        Database::checkFile(BackupPath);
        copyReplacing(BackupPath, DbPath);
    } else {
        // The backup stays as it is: a new empty file never replaces a backup that holds data.
        Database::createFile(DbPath);
    }
    return true;
}

void Application::reportBackupOutcome()
{
    if (m_starting || m_finished || m_backupReported || !m_backup || !m_backup->isFinished())
        return;
    m_backupReported = true;
    const StartupBackup::Result result = m_backup->result();
    switch (result.outcome) {
    case StartupBackup::Outcome::KeptForData:
    case StartupBackup::Outcome::CopyFailed:
        Notice(m_main, result.reason);
        break;
    case StartupBackup::Outcome::Damaged:
        ShowCommonError(m_main, AppError(result.number, result.reason));
        break;
    default:
        break;
    }
}

void Application::keepDailyBackup()
{
    if (!m_dailyBackups || !m_started || m_finished || m_terminating || m_dailyThread)
        return;
    // After the start-up copy, never beside it: both hold the file's read lock while they copy.
    if (m_backup && !m_backup->isFinished())
        return;
    const QDate day = BusinessDate(Clock::now());
    if (day == m_dailyDay || !QFileInfo(DbPath).isFile())
        return;
    m_dailyDay = day;
    const QString db = DbPath;
    m_dailyThread = QThread::create([this, db, day] { m_dailyFailure = dailybackup::MakeDaily(db, day).failure; });
    connect(m_dailyThread, &QThread::finished, this, &Application::dailyBackupFinished, Qt::QueuedConnection);
    m_dailyThread->start();
}

void Application::dailyBackupFinished()
{
    if (!m_dailyThread)
        return;
    m_dailyThread->wait();
    delete m_dailyThread;
    m_dailyThread = nullptr;
    if (!m_dailyFailure.isEmpty() && !m_finished && !m_terminating)
        Notice(m_main, m_dailyFailure);
    m_dailyFailure.clear();
}

void Application::waitForDailyBackup()
{
    if (m_dailyThread)
        dailyBackupFinished();
}

void Application::waitForStartupBackup()
{
    if (!m_backup)
        return;
    m_backup->wait();
    reportBackupOutcome();
}

void Application::loadChildForms()
{
    if (!m_shopForm)
        m_shopForm = new Form_ShopData(*m_module, m_main);
    if (!m_girlForm)
        m_girlForm = new Form_GirlData(*m_module, m_main);
    if (!m_salesForm)
        m_salesForm = new Form_Sales(*m_module, m_main);
    m_shopForm->showOptionRates();
    m_salesForm->showCompanionFrame();
}

void Application::ensureStatusTable()
{
    if (StatusTableExists(*m_database))
        return;
    m_database->beginTransaction();
    try {
        // Two PCs starting together: one creates and fills the table, the other then finds it.
        LockStartupForTransaction(*m_database);
        if (!StatusTableExists(*m_database)) {
            CreateStatusTable(*m_database);
            for (int i = 0; i < m_module->CompanionCount; ++i)
                m_module->SyncStatusRows(m_module->CompanionIDs[i]);
        }
        m_database->commit();
    } catch (...) {
        m_database->rollback();
        throw;
    }
}

void Application::closeDatabase()
{
    // A daily copy in the making is finished first: it reads the file that is about to close.
    if (m_dailyThread) {
        m_dailyThread->wait();
        delete m_dailyThread;
        m_dailyThread = nullptr;
    }
    if (m_backup) {
        // A backup still in the making is finished at a normal end; the system's end stops it.
        if (m_terminating)
            m_backup->cancel();
        m_backup->wait();
        // Closed before the backup's outcome was told: a failure is still said, once.
        if (!m_terminating && !m_finished)
            reportBackupOutcome();
    }
    if (m_main)
        m_main->warningTimer()->stop();
    m_database->close();
    m_finished = true;
    if (m_splash)
        m_splash->close();
    if (m_about)
        m_about->close();
    m_lock.reset();
}

bool Application::shutdown()
{
    if (m_finished)
        return true;
    if (!m_database->isOpen()) {
        closeDatabase();
        return true;
    }
    try {
        m_main->WriteBackBoard();
        // Other reception PCs still work with the duty state: this one leaves it to them.
        if (!LastReceptionPC(*m_database)) {
            closeDatabase();
            return true;
        }
        Answer answer = Answer::Yes;
        if (OnDutyCount(*m_database) > 0)
            answer = Prompt().message(m_main,
                                      QStringLiteral("まだ勤務中のコンパニオンがいます。勤務状態をクリアして終了しますか？"),
                                      Buttons::YesNoCancel);
        // Ended by the system while the question was open: the duty state is kept, as after No.
        if (m_terminating)
            answer = Answer::No;
        if (answer == Answer::Cancel) {
            StayAmongReceptionPCs(*m_database);
            loadChildForms();
            m_module->LoadShopList();
            m_module->LoadCompanionList();
            return false;
        }
        if (answer == Answer::Yes)
            DropStatusTable(*m_database);
    } catch (const AppError &error) {
        // The duty state stays in the file as it was; the program still ends.
        if (!m_terminating)
            ShowCommonError(m_main, error);
    }
    closeDatabase();
    return true;
}

void Application::terminate()
{
    if (m_finished)
        return;
    m_terminating = true;
    const bool boxWasOpen = closeOpenBoxes();
    // Whoever opened the box, or start-up, unwinds first; the rest is done from the top.
    if (m_starting || boxWasOpen || QThread::currentThread()->loopLevel() > 1)
        return;
    finishTermination();
}

void Application::finishTermination()
{
    m_terminating = true;
    if (m_database->isOpen() && m_main) {
        try {
            m_main->WriteBackBoard();
        } catch (const AppError &) {
            // Nothing can be reported any more; the state written so far stays.
        }
    }
    closeDatabase();
    if (m_main)
        m_main->hide();
}

bool Application::closeOpenBoxes()
{
    bool any = false;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(window);
        if (dialog && dialog->isVisible() && dialog->isModal()) {
            dialog->done(QDialog::Rejected);
            any = true;
        }
    }
    return any;
}

frmAbout *Application::showAbout()
{
    if (!m_about)
        m_about = new frmAbout(m_main);
    m_about->show();
    m_about->raise();
    return m_about;
}

} // namespace rp
