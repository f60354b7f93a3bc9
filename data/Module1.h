#pragma once

#include "data/Database.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTime>
#include <QVector>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace rp {

// Shop capacity: positions in every shop list and per-shop table, and rows of the companion editor.
constexpr int MaxShops = 5;
// Room in the companion register for shop slots (only the first MaxShops are used).
constexpr int ShopSlots = 20;

// State and procedures shared by every window for the whole run: the open database, the option bit
// tables, the shop and companion lists (with the list boxes they fill), the end-time tables, and the
// upkeep of 現在状況.
class Module1 : public QObject
{
    Q_OBJECT
public:
    explicit Module1(Database &database, QObject *parent = nullptr);

    Database &AppDatabase;

    // Option k (1..15) of a mask: tested with BitOn[k-1], set with OR BitOn[k-1], cleared with AND BitOff[k-1].
    std::array<qint16, 16> BitOn{};
    std::array<qint16, 16> BitOff{};
    void InitBitMasks();

    std::array<qint32, MaxShops> ShopIDs{};
    std::array<qint16, MaxShops> ShopWarnMinutes{};
    int ShopCount = 0;
    QStringList ShopNames;                 // 店舗名 by position
    int shopPosition(qint32 shopId) const; // -1 when not listed

    QVector<qint32> CompanionIDs;          // CompanionCount + 1 entries
    int CompanionCount = 0;
    QStringList CompanionNames;            // 源氏名 by position

    // End-time warning tables: [shop position 0..MaxShops][board row]. EndTimes holds a null QTime for
    // "no end"; WarnState[p][0] is the row count of shop p's board, -1 marks a row without booking.
    QVector<QVector<QTime>> EndTimes;
    QVector<QVector<int>> WarnState;
    void EnsureWarnRows(int rows);         // grows every shop's tables to at least rows entries

    // reselectBoard false: the board's list is refilled without a selection and the board, not the
    // loader, puts its shop back (a reload for another PC's change, which must not clear an entry).
    void LoadShopList(bool reselectBoard = true);
    void LoadCompanionList();
    // Brings one companion's 現在状況 rows in line with her shop slots. Called alone it is one action
    // and reports its own failure; inside another action it raises, so that action rolls back whole.
    // A row added while she is out on a booking starts as out for another shop.
    void SyncStatusRows(qint32 companionId);
    // mode 1: every row of one companion; mode 2: every row of one shop.
    void DeleteStatusRows(int mode, qint32 id);

    // Rebuilds EndTimes and WarnState of every listed shop from 現在状況, rows in the board's order,
    // so the warning follows every running booking whatever boards have been shown.
    void RefreshWarningTables();
    // The same for the shop at position p alone.
    void RefreshWarningTable(int p);
    // Position of the shop a companion is out on a booking for (her row there is busy and not for
    // another shop); -1 when she is not out for a listed shop.
    int OutForShop(qint32 companionId);

    // Wiring of the list boxes that the loaders fill.
    void addShopList(QComboBox *combo);
    void addCompanionList(QComboBox *combo);
    // The board's shop list: after a reload, select(position) re-selects the board's shop
    // (position -1: the list became empty and the board must show nothing).
    void setBoardShopList(QComboBox *combo, std::function<void(int)> select);
    void setCompanionShopRows(const QVector<QLabel *> &labels, const QVector<QLineEdit *> &names);
    // Where the shared procedures report failures (the common error box's parent).
    void setErrorParent(QWidget *parent) { m_errorParent = parent; }
    QWidget *errorParent() const { return m_errorParent; }

signals:
    void shopListLoaded();
    void companionListLoaded();

private:
    void syncStatusRows(qint32 companionId);

    QVector<QPointer<QComboBox>> m_shopLists;
    QVector<QPointer<QComboBox>> m_companionLists;
    QPointer<QComboBox> m_boardShopList;
    std::function<void(int)> m_selectBoardShop;
    QVector<QPointer<QLabel>> m_shopLabels;
    QVector<QPointer<QLineEdit>> m_shopNameBoxes;
    QPointer<QWidget> m_errorParent;
};

} // namespace rp
