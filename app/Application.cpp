#include "app/Application.h"

#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/Schema.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Main_Form.h"
#include "sales/Form_Sales.h"

#include <QComboBox>
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
}

Application::~Application()
{
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
    // The splash paints while events keep flowing for one second; a key or click closes it early.
    m_splash = new frmSplash;
    m_splash->show();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < m_splashWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }

    m_main = new Main_Form(*this);
    m_module->setErrorParent(m_main);
    try {
        // The editors and the sales window exist, hidden, so the list loaders can fill them.
        m_splash->setMessage(QStringLiteral("Form Loading・・・"));
        loadChildForms();

        // The database file: checked, backed up, or created on the very first run; then opened.
        m_splash->setMessage(QStringLiteral("DataBase Open・・・"));
        if (QFileInfo::exists(DbPath)) {
            // A file that is not an intact database must never reach the backup, nor be replaced.
            Database::checkFile(DbPath);
            copyReplacing(DbPath, BackupPath);
        } else {
            Database::createFile(DbPath);
        }
        m_splash->setMessage(QStringLiteral("初期設定中・・・"));
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
    } catch (const AppError &error) {
        m_main->show();
        ShowCommonError(m_main, error);
        // The splash stays until the operator dismisses it.
        return false;
    }

    // The board is the operator's whole screen.
    m_main->showMaximized();
    m_splash->close();
    m_main->warningTimer()->start();
    m_started = true;
    return true;
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
    if (m_database->tableExists(QStringLiteral("現在状況")))
        return;
    m_database->beginTransaction();
    try {
        m_database->exec(CreateStatusTableSql());
        for (int i = 0; i < m_module->CompanionCount; ++i)
            m_module->SyncStatusRows(m_module->CompanionIDs[i]);
        m_database->commit();
    } catch (...) {
        m_database->rollback();
        throw;
    }
}

void Application::closeDatabase()
{
    m_main->warningTimer()->stop();
    m_database->close();
    m_finished = true;
    if (m_splash)
        m_splash->close();
    if (m_about)
        m_about->close();
}

bool Application::shutdown()
{
    if (!m_database->isOpen()) {
        closeDatabase();
        return true;
    }
    try {
        m_main->WriteBackBoard();
        Answer answer = Answer::Yes;
        if (m_database->scalar(QStringLiteral("SELECT count(*) FROM 現在状況 WHERE [出退勤]=1;")).toInt() > 0)
            answer = Prompt().message(m_main,
                                      QStringLiteral("まだ勤務中のコンパニオンがいます。勤務状態をクリアして終了しますか？"),
                                      Buttons::YesNoCancel);
        if (answer == Answer::Cancel) {
            loadChildForms();
            m_module->LoadShopList();
            m_module->LoadCompanionList();
            return false;
        }
        if (answer == Answer::Yes)
            m_database->exec(QStringLiteral("DROP TABLE 現在状況"));
    } catch (const AppError &error) {
        // The duty state stays in the file as it was; the program still ends.
        ShowCommonError(m_main, error);
    }
    closeDatabase();
    return true;
}

void Application::terminate()
{
    if (m_database->isOpen()) {
        try {
            m_main->WriteBackBoard();
        } catch (const AppError &) {
            // Nothing can be reported any more; the state written so far stays.
        }
    }
    closeDatabase();
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
