#pragma once

#include <QObject>
#include <QSet>
#include <QSqlDriver>
#include <QString>
#include <QStringList>
#include <optional>

class QTimer;

namespace rp {

class Database;

// The tables whose changes another PC's board must see.
enum class ChangedTable { Status, History, Customer, Shop, Companion };

// One change notice of the server: "<table>:<shop id>:<companion id>:<customer id>", an empty field
// standing for "any" (a statement that changed many rows sends "<table>:::").
struct ChangeNotice
{
    ChangedTable table = ChangedTable::Status;
    std::optional<qint32> shopId, companionId, customerId;
};
// nullopt for a payload that is not one of ours.
std::optional<ChangeNotice> ParseChangeNotice(const QString &payload);

// What a board has still to read again, gathered from notices until it does (many notices, one read).
struct PendingChanges
{
    QSet<qint32> statusShops;      // shops whose 現在状況 rows changed
    bool allStatus = false;
    bool shopList = false;         // names, order, warning minutes
    QSet<qint32> tariffShops;      // shops whose tariff changed
    bool allTariffs = false;
    bool companionList = false;
    QSet<qint32> customers;        // customers whose record or history changed
    bool allCustomers = false;

    void add(const ChangeNotice &notice);
    bool isEmpty() const;
    bool statusOf(qint32 shopId) const { return allStatus || statusShops.contains(shopId); }
    bool tariffOf(qint32 shopId) const { return allTariffs || tariffShops.contains(shopId); }
    bool customer(qint32 customerId) const { return customerId != 0 && (allCustomers || customers.contains(customerId)); }
};

// The server's notices (PostgreSQL LISTEN through the driver) as typed signals. Triggers on the cached
// tables send them when the writing transaction commits; this PC's own are dropped, its board already
// shows what it wrote. On SQLite it does nothing: one PC, no other writer.
// It also keeps the connection: a connection found lost (by a statement, or by the quiet check every
// few seconds while nothing else talks to the server) is opened again on a retry timer, subscribed
// again, and told with reconnected(), after which a board reads what it shows once.
class ChangeFeed : public QObject
{
    Q_OBJECT
public:
    explicit ChangeFeed(Database &db, QObject *parent = nullptr);
    ~ChangeFeed() override;

    static QString Channel() { return QStringLiteral("rosterpad"); }

    // Subscribes when the database is a server's; nothing on SQLite.
    void start();
    void stop();
    bool listening() const { return m_listening; }

    // For tests: the pauses of the quiet check and of the reconnection attempts.
    void setIntervals(int checkMs, int retryMs);

signals:
    void changed(const rp::ChangeNotice &notice);
    // The connection went away: message names the server and the cause.
    void connectionLost(const QString &message);
    void reconnected();

private:
    void subscribe();
    void onNotification(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload);
    void check();
    void retry();

    Database &m_db;
    QTimer *m_check = nullptr;
    QTimer *m_retry = nullptr;
    bool m_started = false;
    bool m_listening = false;
};

} // namespace rp

Q_DECLARE_METATYPE(rp::ChangeNotice)
