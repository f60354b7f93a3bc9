#pragma once

#include "sales/NightCloseStore.h"

#include <QAbstractItemModel>

namespace rp {

// The night close for a tree view, read straight from the records: a row per companion with her totals,
// under it a row per booking, and under each booking a row per charge telling how her pay came out of it
// (or one saying the booking has its totals only). Nothing is copied into items, so a busy day shows as
// fast as its rows are painted.
class NightCloseModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int Columns = 11;   // as BookingCells
    using QAbstractItemModel::QAbstractItemModel;

    void setClose(NightClose close);
    const NightClose &close() const { return m_close; }
    // The companion a row belongs to (her row, a booking of hers or its charges); 0 for none.
    qint32 companionOf(const QModelIndex &index) const;
    // Charge row `line` under booking `booking` of companion `companion`.
    QModelIndex chargeRow(int companion, int booking, int line) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    NightClose m_close;
};

} // namespace rp
