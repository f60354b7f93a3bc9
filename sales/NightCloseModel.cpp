#include "sales/NightCloseModel.h"

#include "sales/NightCloseReport.h"

#include <QColor>
#include <QFont>

#include <algorithm>

namespace rp {

namespace {

// A row's place: its depth (0 companion, 1 booking, 2 charges) and the companion and booking it is in.
// Companions' rows carry 0; a booking's carries its companion; a charges row its booking too.
quintptr encode(int level, int companion, int booking)
{
    return quintptr(level) | (quintptr(companion) << 2) | (quintptr(booking) << 32);
}
int levelOf(const QModelIndex &i) { return int(i.internalId() & 3u); }
int companionIn(const QModelIndex &i) { return levelOf(i) == 0 ? i.row() : int((i.internalId() >> 2) & 0x3FFFFFFFu); }
int bookingIn(const QModelIndex &i) { return levelOf(i) == 1 ? i.row() : int(i.internalId() >> 32); }

} // namespace

void NightCloseModel::setClose(NightClose close)
{
    beginResetModel();
    m_close = std::move(close);
    endResetModel();
}

qint32 NightCloseModel::companionOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return 0;
    const int c = companionIn(index);
    return c >= 0 && c < m_close.companions.size() ? m_close.companions[c].id : 0;
}

QModelIndex NightCloseModel::chargeRow(int companion, int booking, int line) const
{
    return createIndex(line, 0, encode(2, companion, booking));
}

QModelIndex NightCloseModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= Columns || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, encode(0, 0, 0));
    if (levelOf(parent) == 0)
        return createIndex(row, column, encode(1, parent.row(), 0));
    return createIndex(row, column, encode(2, companionIn(parent), parent.row()));
}

QModelIndex NightCloseModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || levelOf(child) == 0)
        return {};
    if (levelOf(child) == 1)
        return createIndex(companionIn(child), 0, encode(0, 0, 0));
    return createIndex(bookingIn(child), 0, encode(1, companionIn(child), 0));
}

int NightCloseModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_close.companions.size());
    if (parent.column() != 0)
        return 0;
    switch (levelOf(parent)) {
    case 0: return int(m_close.companions[parent.row()].bookings.size());
    case 1: return std::max(1, int(m_close.companions[companionIn(parent)].bookings[parent.row()].charges.size()));
    default: return 0;
    }
}

int NightCloseModel::columnCount(const QModelIndex &) const { return Columns; }

QVariant NightCloseModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    const NightCloseCompanion &her = m_close.companions[companionIn(index)];
    switch (levelOf(index)) {
    case 0:
        if (role == Qt::DisplayRole) {
            switch (column) {
            case 0: return her.genji;
            case 1: return QStringLiteral("%1本").arg(her.totals.visits);
            case 8: return FormatNumber(her.totals.gross);
            case 9: return FormatNumber(her.totals.pay);
            case 10: return FormatNumber(her.totals.shopShare);
            default: return {};
            }
        }
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role == Qt::BackgroundRole)
            return QColor(232, 238, 246);
        if (role == Qt::UserRole)
            return her.id;
        break;
    case 1:
        // A cell too narrow for its text shows it whole as its tip.
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return BookingCells(her.bookings[index.row()]).value(column);
        break;
    default: {
        const NightCloseBooking &b = her.bookings[bookingIn(index)];
        if (column != 0)
            return {};
        if (role == Qt::DisplayRole)
            return b.charges.isEmpty() ? TotalsOnlyNote() : ChargeText(b.charges.value(index.row()));
        if (role == Qt::ForegroundRole)
            return QColor(70, 70, 70);
        return {};
    }
    }
    if (role == Qt::TextAlignmentRole) {
        if (column == 5 || column >= 8)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (column == 6 || column == 7)
            return int(Qt::AlignCenter);
    }
    return {};
}

QVariant NightCloseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions{QStringLiteral("源氏名・店舗"), QStringLiteral("顧客"), QStringLiteral("時間"),
                                      QStringLiteral("コース"), QStringLiteral("オプション"), QStringLiteral("延長"),
                                      QStringLiteral("指名"), QStringLiteral("ｷｬﾝｾﾙ"), QStringLiteral("総売上"),
                                      QStringLiteral("支払"), QStringLiteral("店売上")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions.value(section);
    return {};
}

} // namespace rp
