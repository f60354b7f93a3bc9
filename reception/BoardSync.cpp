// The board on several PCs: what another PC changed reaches this board through the server's notices
// (data/ChangeFeed), gathered for a moment and read once, for what the notices name only. Nothing here
// runs on SQLite, where no notice ever comes.
#include "app/Application.h"
#include "app/ChildWindow.h"
#include "data/Clock.h"
#include "data/Module1.h"
#include "data/SqlText.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"
#include "reception/StatusStore.h"
#include "sales/Form_NightClose.h"
#include "sales/Form_Sales.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace rp {

namespace {

constexpr int ColCompanionId = 8;
// While the board cannot be read again (a cell being edited, a box up), it is tried again after this.
constexpr int RetryMs = 200;

void setComboText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
}

} // namespace

void Main_Form::wireChangeFeed()
{
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("Timer_Refresh"));
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &Main_Form::RefreshFromNotices);
    ChangeFeed &feed = m_app.changes();
    connect(&feed, &ChangeFeed::changed, this, &Main_Form::noteChange);
    connect(&feed, &ChangeFeed::connectionLost, this, [this](const QString &message) {
        Label_Server->setText(message.section(QLatin1Char('\n'), 0, 0)
                              + QStringLiteral("　再接続を試みています…"));
        Label_Server->setVisible(true);
    });
    connect(&feed, &ChangeFeed::reconnected, this, [this] {
        Label_Server->setVisible(false);
        // While away, no notice came: everything the board shows is read once.
        m_pending.allStatus = true;
        m_pending.shopList = true;
        m_pending.allTariffs = true;
        m_pending.companionList = true;
        m_pending.allCustomers = true;
        scheduleRefresh(0);
    });
}

void Main_Form::noteChange(const ChangeNotice &notice)
{
    m_pending.add(notice);
    // A later retry (a tariff waiting for an empty entry) never holds a new notice back.
    if (!m_refreshTimer->isActive() || m_refreshTimer->remainingTime() > RefreshDelayMs)
        scheduleRefresh(RefreshDelayMs);
}

void Main_Form::scheduleRefresh(int ms)
{
    m_refreshTimer->start(ms);
}

bool Main_Form::pendingRefresh() const
{
    return !m_pending.isEmpty() || m_refreshTimer->isActive();
}

bool Main_Form::canRefreshNow() const
{
    // Never under the operator's hands: a duty list open in a cell, an action's transaction, a message
    // or question up in the middle of a handler (its rows and keys must stay what it asked about).
    if (Grid_Girl->isEditing() || m_module.AppDatabase.inTransaction()
        || m_checkingField || m_checkingTime)
        return false;
    QWidget *modal = QApplication::activeModalWidget();
    return !modal || qobject_cast<ChildWindow *>(modal);
}

bool Main_Form::childWindowOpen() const
{
    for (const QWidget *w : std::initializer_list<const QWidget *>{m_app.shopForm(), m_app.girlForm(),
                                                                    m_app.salesForm(), m_nightClose})
        if (w && w->isVisible())
            return true;
    return false;
}

bool Main_Form::entryInUse() const
{
    if (!Label_GirlID->text().isEmpty() || Combo_Course->currentIndex() >= 0 || Check_Shimei->isChecked()
        || Check_Cancel->isChecked())
        return true;
    for (const QCheckBox *box : Check_Option)
        if (box->isChecked())
            return true;
    return false;
}

void Main_Form::RefreshFromNotices()
{
    if (!m_module.AppDatabase.isOpen() || m_app.finished())
        return;
    if (!canRefreshNow()) {
        scheduleRefresh(RetryMs);
        return;
    }
    PendingChanges todo = m_pending;
    m_pending = PendingChanges();
    try {
        // The lists first: a shop added or gone moves the positions everything else is kept by. An
        // editor open on this PC keeps its lists until it is left.
        if (childWindowOpen()) {
            m_pending.shopList = todo.shopList;
            m_pending.companionList = todo.companionList;
        } else {
            if (todo.shopList)
                refreshShopList();
            if (todo.companionList)
                m_module.LoadCompanionList();
        }
        for (int p = 0; p < m_module.ShopCount; ++p) {
            const qint32 shopId = m_module.ShopIDs[p];
            if (!todo.statusOf(shopId))
                continue;
            if (p == m_shownPosition && shopId == Tariff.SelectedShopID)
                refreshShownRows();
            else
                m_module.RefreshWarningTable(p);
        }
        // The shown shop's terms: a booking being priced keeps those it was started with; the new
        // ones come as soon as the entry is empty again.
        const bool shown = m_shownPosition >= 0 && Tariff.SelectedShopID != 0;
        if (shown && (m_tariffStale || todo.tariffOf(Tariff.SelectedShopID))) {
            if (entryInUse()) {
                m_tariffStale = true;
            } else {
                const qint32 shopId = Tariff.SelectedShopID;
                Tariff.zeroTables();
                LoadTariff(shopId);
                Tariff.SelectedShopID = shopId;
                m_tariffStale = false;
            }
        }
        if (todo.customer(CurrentCustomerId))
            refreshShownCustomer();
        TimerWarningTick();
    } catch (const AppError &) {
        // A server that went away: it is told by the feed, and everything is read once it is back.
        // Anything else is read again with the next notice or action.
    }
    if (!m_pending.isEmpty() || m_tariffStale)
        scheduleRefresh(m_pending.isEmpty() ? 1000 : RetryMs);
    emit refreshedFromNotices();
}

void Main_Form::refreshShopList()
{
    const qint32 shown = m_shownPosition >= 0 ? Tariff.SelectedShopID : 0;
    m_module.LoadShopList(false);
    if (shown == 0)
        return;
    const int p = m_module.shopPosition(shown);
    if (p < 0) {
        // The shop shown was deleted on another PC: the board moves on as after a delete here.
        SelectShop(m_module.ShopCount > 0 ? 0 : -1);
        return;
    }
    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(p);
    }
    m_shownPosition = p;
    // The warning tables were rebuilt by position; the shown rows are read with them.
    refreshShownRows();
}

void Main_Form::refreshShownRows()
{
    const int p = m_shownPosition;
    if (p < 0 || p >= m_module.ShopCount)
        return;
    const Rows rows = StatusRowsOfShop(m_module.AppDatabase, m_module.ShopIDs[p]);
    const int keepRow = Grid_Girl->row();
    const int keepCol = Grid_Girl->col();
    bool sameRows = rows.size() == BoardRowCount;
    for (int i = 0; sameRows && i < rows.size(); ++i)
        sameRows = NullToEmpty(rows[i].value(QStringLiteral("コンパニオンID"))) == Grid_Girl->text(i + 1, ColCompanionId);
    if (sameRows) {
        // The same companions in the same places: only the cells that changed change.
        const QTime now = Clock::now().time();
        m_module.EnsureWarnRows(rows.size() + 2);
        for (int i = 0; i < rows.size(); ++i)
            FillBoardRow(p, i + 1, rows[i], now, true);
        m_module.WarnState[p][0] = BoardRowCount;
        paintNgMarks();
    } else {
        LoadBoardRows(p);
    }
    Grid_Girl->select(keepRow, keepCol);
    // The booking being entered stays with her row, wherever it now stands.
    const QString entered = Label_GirlID->text();
    if (entered.isEmpty())
        return;
    int found = 0;
    for (int r = 1; r <= BoardRowCount && found == 0; ++r)
        if (Grid_Girl->text(r, ColCompanionId) == entered)
            found = r;
    if (found > 0)
        SelectedBoardRow = found;
    else
        ResetBookingEntry();   // she no longer works at this shop
}

void Main_Form::refreshShownCustomer()
{
    const qint32 id = CurrentCustomerId;
    const std::optional<CustomerRecord> stored = CustomerById(m_module.AppDatabase, id);
    if (!stored)
        return;
    // What the operator typed over the record stays; what she left as it was follows the other PC.
    if (m_loadedCustomer && m_loadedCustomer->id == id) {
        if (Combo_Rank->currentText() == m_loadedCustomer->rank)
            setComboText(Combo_Rank, stored->rank);
        if (Text_Note->text() == m_loadedCustomer->note)
            Text_Note->setText(stored->note);
    }
    m_loadedCustomer = stored;
    const int keepRow = Grid_Rireki->row();
    const int keepCol = Grid_Rireki->col();
    const CustomerHistory history = LoadHistory(m_module.AppDatabase, id);
    clearHistory();
    showHistory(history);
    Label_Total->setText(FormatTotal(history.total));
    Grid_Rireki->select(std::min<int>(keepRow, history.lines.size()), keepCol);
}

} // namespace rp
