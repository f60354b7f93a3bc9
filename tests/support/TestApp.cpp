#include "support/TestApp.h"

#include "app/QtJapanese.h"
#include "data/Clock.h"

#include <QApplication>

namespace rp::test {

TestApp::TestApp() : m_dir(std::make_unique<QTemporaryDir>()), m_path(m_dir->path())
{
    if (OnPostgres()) {
        m_server = std::make_shared<PgTestDatabase>();
        WriteSettings(m_path, m_server->settings());
    }
    makeApp();
}

TestApp::TestApp(const QString &folder) : m_path(folder)
{
    makeApp();
}

TestApp::TestApp(std::shared_ptr<PgTestDatabase> server)
    : m_dir(std::make_unique<QTemporaryDir>()), m_server(std::move(server)), m_path(m_dir->path())
{
    WriteSettings(m_path, m_server->settings());
    makeApp();
}

void TestApp::makeApp()
{
    // The standard dialogs read as the program shows them.
    LoadQtTranslations();
    m_app = std::make_unique<Application>(m_path);
    m_app->setSplashWaitMs(0);
    m_app->setDailyBackups(false);
}

std::unique_ptr<TestApp> TestApp::anotherPc()
{
    if (!m_server)
        qFatal("anotherPc() needs ROSTERPAD_TEST_PG: on the SQLite file one PC works alone");
    return std::unique_ptr<TestApp>(new TestApp(m_server));
}

TestApp::~TestApp()
{
    m_app.reset();
}

bool TestApp::start()
{
    const bool started = m_app->start();
    // The start-up backup is made behind the board; tests see its outcome at once.
    m_app->waitForStartupBackup();
    m_app->keepDailyBackup();
    m_app->waitForDailyBackup();
    return started;
}

bool TestApp::close()
{
    board().close();
    QApplication::processEvents();
    return m_app->finished();
}

std::unique_ptr<TestApp> TestApp::restart()
{
    auto next = std::make_unique<TestApp>(m_path);
    next->m_server = m_server;
    return next;
}

qint32 TestApp::addShop(const QString &name, int warnMinutes)
{
    return db().insertReturningId(QStringLiteral("店舗"),
                                  QStringLiteral("店舗名,C1名,C1時間1,C1料金1,C1割合,延長時間,延長料金,延長割合,指名料,指名割合,"
                                                 "キャンセル料,キャンセル割合,OP割合,警告時間")
                                      .split(QLatin1Char(',')),
                                  {name, QStringLiteral("A"), QStringLiteral("60"), 10000, 40, 30, 5000, 40, 2000, 50,
                                   3000, 50, 40, warnMinutes},
                                  QStringLiteral("店舗ID"));
}

qint32 TestApp::addCompanion(const QString &genji, const QVector<QString> &namesPerSlot, const QVector<int> &optionsPerSlot)
{
    QStringList cols{QStringLiteral("源氏名")};
    QVariantList values{genji};
    for (int s = 0; s < namesPerSlot.size(); ++s) {
        cols << QStringLiteral("店舗%1ID").arg(s + 1) << QStringLiteral("名前%1").arg(s + 1)
             << QStringLiteral("オプション%1").arg(s + 1);
        values << (s < module().ShopCount ? QVariant(module().ShopIDs[s]) : QVariant(QMetaType(QMetaType::Int)))
               << (namesPerSlot[s].isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(namesPerSlot[s]))
               << optionsPerSlot.value(s, 0);
    }
    return db().insertReturningId(QStringLiteral("コンパニオン"), cols, values, QStringLiteral("コンパニオンID"));
}

} // namespace rp::test
