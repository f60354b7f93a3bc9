#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

namespace rp {

class Database;
class Module1;
class Main_Form;
class Form_ShopData;
class Form_GirlData;
class Form_Sales;
class frmSplash;
class frmAbout;

// The whole program: start-up, its windows and its one database connection. The program's directory
// (where the database file lives) is given, so tests build the program in a folder of their own.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(const QString &appPath, QObject *parent = nullptr);
    ~Application() override;

    // The splash's pause; tests shorten it.
    void setSplashWaitMs(int ms) { m_splashWaitMs = ms; }

    // Runs start-up and shows the board. False when a failure ended start-up early (it was reported).
    bool start();

    // Shutdown when the board is closed: true when the program may end.
    bool shutdown();
    // Ends at once, keeping the duty state (termination by the system).
    void terminate();

    QString AppPath;
    QString DbPath;
    QString BackupPath;

    Database &database() { return *m_database; }
    Module1 &module() { return *m_module; }
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

    std::unique_ptr<Database> m_database;
    std::unique_ptr<Module1> m_module;
    QPointer<Main_Form> m_main;
    QPointer<Form_ShopData> m_shopForm;
    QPointer<Form_GirlData> m_girlForm;
    QPointer<Form_Sales> m_salesForm;
    QPointer<frmSplash> m_splash;
    QPointer<frmAbout> m_about;
    int m_splashWaitMs = 1000;
    bool m_started = false;
    bool m_finished = false;
};

} // namespace rp
