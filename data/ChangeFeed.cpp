#include "data/ChangeFeed.h"

#include "data/AppError.h"
#include "data/Database.h"
#include "data/Locks.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QTimer>

namespace rp {

namespace {

std::optional<ChangedTable> tableNamed(const QString &name)
{
    static const struct { const char *name; ChangedTable table; } known[] = {
        {"現在状況", ChangedTable::Status}, {"履歴", ChangedTable::History}, {"顧客", ChangedTable::Customer},
        {"店舗", ChangedTable::Shop}, {"コンパニオン", ChangedTable::Companion}};
    for (const auto &k : known)
        if (name == QString::fromUtf8(k.name))
            return k.table;
    return std::nullopt;
}

// An empty field is "any"; anything else must be a whole number.
bool readId(const QString &field, std::optional<qint32> &id)
{
    if (field.isEmpty()) {
        id.reset();
        return true;
    }
    bool ok = false;
    const qint32 value = field.toInt(&ok);
    if (ok)
        id = value;
    return ok;
}

} // namespace

std::optional<ChangeNotice> ParseChangeNotice(const QString &payload)
{
    const QStringList fields = payload.split(QLatin1Char(':'));
    if (fields.size() < 3 || fields.size() > 4)
        return std::nullopt;
    const std::optional<ChangedTable> table = tableNamed(fields[0]);
    if (!table)
        return std::nullopt;
    ChangeNotice n;
    n.table = *table;
    if (!readId(fields[1], n.shopId) || !readId(fields[2], n.companionId)
        || !readId(fields.value(3), n.customerId))
        return std::nullopt;
    return n;
}

void PendingChanges::add(const ChangeNotice &n)
{
    switch (n.table) {
    case ChangedTable::Status:
        if (n.shopId)
            statusShops.insert(*n.shopId);
        else
            allStatus = true;
        break;
    case ChangedTable::Shop:
        // A shop's row holds its name and warning time (the lists) and its tariff.
        shopList = true;
        if (n.shopId)
            tariffShops.insert(*n.shopId);
        else
            allTariffs = true;
        break;
    case ChangedTable::Companion:
        companionList = true;
        break;
    case ChangedTable::History:
    case ChangedTable::Customer:
        if (n.customerId)
            customers.insert(*n.customerId);
        else
            allCustomers = true;
        break;
    }
}

bool PendingChanges::isEmpty() const
{
    return statusShops.isEmpty() && !allStatus && !shopList && tariffShops.isEmpty() && !allTariffs && !companionList
        && customers.isEmpty() && !allCustomers;
}

ChangeFeed::ChangeFeed(Database &db, QObject *parent) : QObject(parent), m_db(db)
{
    qRegisterMetaType<rp::ChangeNotice>();
    // A quiet PC talks to the server only now and then: without this check a line cut while nobody
    // works would leave its board unknowingly deaf to the other PCs.
    m_check = new QTimer(this);
    m_check->setInterval(5000);
    connect(m_check, &QTimer::timeout, this, &ChangeFeed::check);
    m_retry = new QTimer(this);
    m_retry->setInterval(2000);
    connect(m_retry, &QTimer::timeout, this, &ChangeFeed::retry);
}

ChangeFeed::~ChangeFeed()
{
    m_db.setConnectionListener({}, {});
}

void ChangeFeed::setIntervals(int checkMs, int retryMs)
{
    m_check->setInterval(checkMs);
    m_retry->setInterval(retryMs);
}

void ChangeFeed::start()
{
    if (m_started || !m_db.isOpen() || m_db.engine() != Engine::PostgreSQL)
        return;
    m_started = true;
    m_db.setConnectionListener([this](const QString &message) {
        m_listening = false;
        m_check->stop();
        m_retry->start();
        emit connectionLost(message);
    },
                               [this] {
                                   m_retry->stop();
                                   // The lost session took this PC's place among the reception PCs along.
                                   try {
                                       JoinReceptionPCs(m_db);
                                   } catch (const AppError &) {
                                       // Lost again at once: the next reconnection joins.
                                   }
                                   subscribe();
                                   emit reconnected();
                               });
    subscribe();
}

void ChangeFeed::stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_check->stop();
    m_retry->stop();
    m_db.setConnectionListener({}, {});
    if (m_listening && m_db.isOpen())
        m_db.handle().driver()->unsubscribeFromNotification(Channel());
    m_listening = false;
}

void ChangeFeed::subscribe()
{
    QSqlDriver *driver = m_db.handle().driver();
    connect(driver, &QSqlDriver::notification, this, &ChangeFeed::onNotification, Qt::UniqueConnection);
    m_listening = driver->subscribeToNotification(Channel());
    if (!m_listening)
        qWarning("rosterpad: no change notices from the server: %s", qPrintable(driver->lastError().text()));
    m_check->start();
}

void ChangeFeed::onNotification(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload)
{
    // This PC's own writes are on its board already.
    if (name != Channel() || source == QSqlDriver::SelfSource)
        return;
    if (const std::optional<ChangeNotice> notice = ParseChangeNotice(payload.toString()))
        emit changed(*notice);
}

void ChangeFeed::check()
{
    // Never inside an operator's action: its own statements tell.
    if (m_db.inTransaction() || m_db.connectionLost())
        return;
    try {
        m_db.scalar(QStringLiteral("SELECT 1;"));
    } catch (const AppError &) {
        // The connection's listener has been told (lost()).
    }
}

void ChangeFeed::retry()
{
    if (!m_db.connectionLost()) {
        m_retry->stop();
        return;
    }
    if (m_db.inTransaction())
        return;
    try {
        m_db.reconnect();
    } catch (const AppError &) {
        // Still away: asked again on the next turn.
    }
}

} // namespace rp
