#pragma once

#include "app/Application.h"
#include "data/Database.h"
#include "data/Module1.h"
#include "reception/Main_Form.h"
#include "support/PgTest.h"
#include "support/ScriptedPrompt.h"

#include <QTemporaryDir>
#include <memory>

namespace rp::test {

// The whole program, started in a temporary folder of its own with a scripted prompt service. With
// ROSTERPAD_TEST_PG set (see PgTest.h) the folder gets a rosterpad.ini naming a fresh database of its
// own on that server, so the program takes the PostgreSQL road; restart() keeps the same database.
class TestApp
{
public:
    TestApp();                                   // new empty folder
    explicit TestApp(const QString &folder);     // an existing folder (restart in the same place)
    ~TestApp();

    // Start-up, then waits for the start-up backup and its report (Application::start() alone does not).
    bool start();
    // Closes the board as the operator would; true when the program ended.
    bool close();
    // A second run in the same folder (the first must have been closed).
    std::unique_ptr<TestApp> restart();
    // Another reception PC on the same PostgreSQL database: a program in a folder of its own, running
    // beside this one in the same process. Its prompt answers while it lives.
    std::unique_ptr<TestApp> anotherPc();

    QString folder() const { return m_path; }
    Application &app() { return *m_app; }
    Module1 &module() { return m_app->module(); }
    Database &db() { return m_app->database(); }
    Main_Form &board() { return *m_app->mainForm(); }
    ScriptedPrompt &prompt() { return m_prompt; }
    // The test's own PostgreSQL database; null on SQLite.
    const PgTestDatabase *server() const { return m_server.get(); }

    // Direct inserts for arranging a test; return the new row's ID.
    qint32 addShop(const QString &name, int warnMinutes = 10);
    qint32 addCompanion(const QString &genji, const QVector<QString> &namesPerSlot,
                        const QVector<int> &optionsPerSlot = {});

private:
    explicit TestApp(std::shared_ptr<PgTestDatabase> server);
    void makeApp();
    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<PgTestDatabase> m_server;
    QString m_path;
    ScriptedPrompt m_prompt;
    std::unique_ptr<Application> m_app;
};

} // namespace rp::test
