#include "data/Module1.h"

#include "data/Clock.h"
#include "data/DateUtil.h"
#include "data/Locks.h"
#include "data/Prompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace rp {

namespace {

// Refills a list box without letting it announce a selection; it is left with none.
void refillList(QComboBox *combo, const QStringList &items)
{
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (combo->isEditable())
        combo->setEditText(QString());
}

} // namespace

Module1::Module1(Database &database, QObject *parent) : QObject(parent), AppDatabase(database)
{
    EndTimes.resize(MaxShops + 1);
    WarnState.resize(MaxShops + 1);
    EnsureWarnRows(2);
}

void Module1::InitBitMasks()
{
    for (int i = 0; i < 16; ++i) {
        BitOn[i] = qint16(quint16(1u << i));
        BitOff[i] = qint16(~quint16(1u << i));
    }
}

int Module1::shopPosition(qint32 shopId) const
{
    for (int p = 0; p < ShopCount; ++p)
        if (ShopIDs[p] == shopId)
            return p;
    return -1;
}

void Module1::EnsureWarnRows(int rows)
{
    for (int s = 0; s <= MaxShops; ++s) {
        if (EndTimes[s].size() < rows)
            EndTimes[s].resize(rows);
        if (WarnState[s].size() < rows)
            WarnState[s].resize(rows, 0);
    }
}

void Module1::addShopList(QComboBox *combo) { m_shopLists.append(combo); }

void Module1::addCompanionList(QComboBox *combo) { m_companionLists.append(combo); }

void Module1::setBoardShopList(QComboBox *combo, std::function<void(int)> select)
{
    m_boardShopList = combo;
    m_selectBoardShop = std::move(select);
}

void Module1::setCompanionShopRows(const QVector<QLabel *> &labels, const QVector<QLineEdit *> &names)
{
    m_shopLabels.clear();
    m_shopNameBoxes.clear();
    for (QLabel *l : labels)
        m_shopLabels.append(l);
    for (QLineEdit *e : names)
        m_shopNameBoxes.append(e);
}

void Module1::LoadShopList()
{
    // The board keeps showing the same shop across a reload, wherever that shop now stands.
    std::optional<qint32> remembered;
    if (m_boardShopList) {
        const int p = m_boardShopList->currentIndex();
        if (p >= 0 && p < ShopCount)
            remembered = ShopIDs[p];
    }

    // Read first: a failing read leaves the lists as they were.
    const Rows rows = AppDatabase.rows(
        QStringLiteral("SELECT \"店舗ID\",\"店舗名\",\"警告時間\" FROM \"店舗\" WHERE \"削除FLAG\" = 0 ORDER BY \"店舗ID\";"));

    ShopCount = 0;
    ShopNames.clear();
    ShopIDs.fill(0);
    ShopWarnMinutes.fill(0);
    int reselect = -1;
    for (const Row &row : rows) {
        // The per-shop tables and the companion slots hold MaxShops shops; the editor refuses more.
        if (ShopCount >= MaxShops)
            break;
        const qint32 id = row.value(0).toInt();
        if (remembered && *remembered == id)
            reselect = ShopCount;
        ShopIDs[ShopCount] = id;
        ShopWarnMinutes[ShopCount] = qint16(row.value(2).toInt());
        ShopNames << row.value(1).toString();
        ++ShopCount;
    }

    QVector<QComboBox *> lists;
    for (const auto &c : std::as_const(m_shopLists))
        if (c)
            lists << c.data();
    if (m_boardShopList && !lists.contains(m_boardShopList.data()))
        lists.prepend(m_boardShopList.data());
    for (QComboBox *c : lists)
        refillList(c, ShopNames);

    for (int i = 0; i < m_shopLabels.size(); ++i) {
        const bool listed = i < ShopCount;
        if (QLabel *label = m_shopLabels.at(i)) {
            label->setText(listed ? ShopNames.at(i) : QString());
            label->setVisible(listed);
        }
        if (i < m_shopNameBoxes.size())
            if (QLineEdit *box = m_shopNameBoxes.at(i))
                box->setVisible(listed);
    }

    // Positions may have moved (a shop deleted or added): the warning tables follow the new ones.
    RefreshWarningTables();
    emit shopListLoaded();

    if (remembered && m_selectBoardShop)
        m_selectBoardShop(reselect >= 0 ? reselect : (ShopCount > 0 ? 0 : -1));
}

void Module1::LoadCompanionList()
{
    const Rows rows = AppDatabase.rows(QStringLiteral(
        "SELECT \"コンパニオンID\",\"源氏名\" FROM \"コンパニオン\" WHERE \"削除FLAG\" = 0 ORDER BY \"コンパニオンID\";"));

    CompanionCount = 0;
    CompanionNames.clear();
    CompanionIDs.clear();
    CompanionIDs.resize(rows.size() + 1);
    for (const Row &row : rows) {
        CompanionIDs[CompanionCount] = row.value(0).toInt();
        CompanionNames << row.value(1).toString();
        ++CompanionCount;
    }
    for (const auto &c : std::as_const(m_companionLists)) {
        if (c)
            refillList(c, CompanionNames);
    }
    EnsureWarnRows(CompanionCount + 2);
    emit companionListLoaded();
}

void Module1::SyncStatusRows(qint32 companionId)
{
    if (AppDatabase.inTransaction()) {
        syncStatusRows(companionId);
        return;
    }
    try {
        AppDatabase.atomic([&] { syncStatusRows(companionId); });
    } catch (const AppError &error) {
        ShowCommonError(m_errorParent, error);
    }
}

void Module1::syncStatusRows(qint32 companionId)
{
    QStringList fields{QStringLiteral("\"源氏名\"")};
    for (int s = 1; s <= ShopSlots; ++s)
        fields << QStringLiteral("\"店舗%1ID\",\"名前%1\",\"オプション%1\"").arg(s);
    const std::optional<Row> companion = AppDatabase.first(
        QStringLiteral("SELECT ") + fields.join(QLatin1Char(',')) + QStringLiteral(" FROM \"コンパニオン\" WHERE \"コンパニオンID\"=?")
            + ForUpdate(AppDatabase) + QLatin1Char(';'),
        {companionId});
    if (!companion)
        return;
    const QVariant genji = companion->value(0);
    // Her register row, locked above, is what a 空 tick on another PC locks first too: her rows are
    // brought into line between two ticks, never in the middle of one.
    // A shop that starts listing her while she is out must not offer her: its row starts out for
    // another shop and is freed with her other rows when the booking ends.
    const bool out = OutForShop(companionId) >= 0;

    for (int p = 0; p < ShopCount; ++p) {
        const qint32 shopId = ShopIDs[p];
        const QVariant name = companion->value(1 + p * 3 + 1);
        const int options = companion->value(1 + p * 3 + 2).toInt();
        const bool named = !name.isNull();
        const bool exists = AppDatabase
                                .scalar(QStringLiteral("SELECT count(*) FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                                        {shopId, companionId})
                                .toInt()
            > 0;
        if (!exists && named) {
            AppDatabase.exec(QStringLiteral("INSERT INTO \"現在状況\"(\"店舗ID\",\"コンパニオンID\",\"源氏名\",\"名前\",\"オプション\","
                                            "\"出退勤\",\"空\",\"他店舗\") VALUES(?,?,?,?,?,0,?,?)"),
                             {shopId, companionId, genji, name, options, out ? 1 : 0, out ? 1 : 0});
        } else if (exists && !named) {
            AppDatabase.exec(QStringLiteral("DELETE FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                             {shopId, companionId});
        } else if (exists && named) {
            AppDatabase.exec(QStringLiteral("UPDATE \"現在状況\" SET \"源氏名\"=?,\"名前\"=?,\"オプション\"=? "
                                            "WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"),
                             {genji, name, options, shopId, companionId});
        }
    }
}

int Module1::OutForShop(qint32 companionId)
{
    const Rows rows = AppDatabase.rows(
        QStringLiteral("SELECT \"店舗ID\" FROM \"現在状況\" WHERE \"コンパニオンID\"=? AND \"空\"=1 AND \"他店舗\"=0;"), {companionId});
    for (const Row &row : rows) {
        const int p = shopPosition(row.value(0).toInt());
        if (p >= 0)
            return p;
    }
    return -1;
}

void Module1::RefreshWarningTables()
{
    if (!AppDatabase.isOpen() || !AppDatabase.tableExists(QStringLiteral("現在状況")))
        return;
    const QTime now = Clock::now().time();
    for (int p = 0; p <= MaxShops; ++p) {
        EndTimes[p].fill(QTime());
        WarnState[p].fill(-1);
        WarnState[p][0] = 0;
    }
    for (int p = 0; p < ShopCount; ++p) {
        // The same rows in the same order as the shop's board shows them.
        const Rows rows = AppDatabase.rows(
            QStringLiteral("SELECT \"終了予定\" FROM \"現在状況\" WHERE \"店舗ID\"=? ORDER BY \"コンパニオンID\";"), {ShopIDs[p]});
        EnsureWarnRows(rows.size() + 2);
        int r = 0;
        for (const Row &row : rows) {
            ++r;
            const QVariant end = row.value(0);
            if (end.isNull()) {
                EndTimes[p][r] = QTime();
                WarnState[p][r] = -1;
                continue;
            }
            const QTime endTime = QTime::fromString(end.toString(), QStringLiteral("HH:mm:ss"));
            int left = RemainingMinutes(endTime, now);
            if (left > 1380)   // more than 23 hours away: the end has already passed
                left = 0;
            EndTimes[p][r] = endTime;
            WarnState[p][r] = left;
        }
        WarnState[p][0] = r;
    }
}

void Module1::DeleteStatusRows(int mode, qint32 id)
{
    if (mode == 1)
        AppDatabase.exec(QStringLiteral("DELETE FROM \"現在状況\" WHERE \"コンパニオンID\"=?;"), {id});
    else if (mode == 2)
        AppDatabase.exec(QStringLiteral("DELETE FROM \"現在状況\" WHERE \"店舗ID\"=?;"), {id});
}

} // namespace rp
