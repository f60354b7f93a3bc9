// Shop selection, the companion status board and the end-time warning of the reception board.
#include "app/Application.h"
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "data/Locks.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/SqlText.h"
#include "data/TextUtil.h"
#include "masters/CompanionStore.h"
#include "masters/ShopStore.h"
#include "reception/Grid.h"
#include "reception/BoardSettings.h"
#include "reception/Main_Form.h"
#include "reception/StatusStore.h"
#include "reception/TariffStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace rp {

namespace {

enum BoardColumn {
    ColName = 0, ColGenji = 1, ColDuty = 2, ColBusy = 3, ColOther = 4, ColEnd = 5, ColLeft = 6, ColPlace = 7,
    ColCompanionId = 8, ColCustomerId = 9, ColOptions = 10, ColSelectedOptions = 11
};

const QString OnDuty = QStringLiteral("出勤");
const QString OffDuty = QStringLiteral("退勤");
const QString True_ = QStringLiteral("True");
const QString False_ = QStringLiteral("False");

QString boolText(bool value) { return value ? True_ : False_; }

// A board time ("hh:mm") as the store keeps it; empty is NULL.
QVariant storedTime(const QString &text)
{
    if (text.isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    const std::optional<QTime> t = ParseTime(ToHalfWidth(text));
    if (!t)
        throw AppError(AppError::TypeMismatch, QStringLiteral("型が一致しません。: ") + text);
    return IsoTime(*t);
}

qint16 shortOrZero(const QVariant &value) { return value.isNull() ? 0 : qint16(value.toInt()); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Shop selection

void Main_Form::SelectShop(int p)
{
    WriteBackBoard();

    if (p < 0 || p >= m_module.ShopCount) {
        // Nothing left to show: an empty board and an empty tariff.
        Grid_Girl->clearData();
        BoardRowCount = 0;
        RowOtherShop.clear();
        m_shownPosition = -1;
        ResetBookingEntry();
        Tariff = ShopTariff();
        for (QCheckBox *box : Check_Option) {
            box->setChecked(false);
            box->setText(QString());
            box->setVisible(false);
        }
        Combo_Course->clear();
        Combo_Course->setCurrentIndex(-1);
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(-1);
        return;
    }

    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(p);
    }
    const qint32 shopId = m_module.ShopIDs[p];
    m_shownPosition = p;
    LoadBoardRows(p);
    ResetBookingEntry();
    Tariff.zeroTables();
    LoadTariff(shopId);
    Tariff.SelectedShopID = shopId;
    RememberShop(m_app.AppPath, shopId);
}

void Main_Form::ShowRememberedShop()
{
    const std::optional<qint32> shopId = RememberedShop(m_app.AppPath);
    const int p = shopId ? m_module.shopPosition(*shopId) : -1;
    if (p >= 0)
        SelectShop(p);
}

void Main_Form::LoadBoardRows(int p)
{
    const qint32 shopId = m_module.ShopIDs[p];
    const Rows rows = StatusRowsOfShop(m_module.AppDatabase, shopId);

    Grid_Girl->clearData();
    // A shop with more companions than the grid's first rows makes the grid and the warning tables grow.
    Grid_Girl->ensureRows(rows.size() + 1);
    m_module.EnsureWarnRows(rows.size() + 2);
    RowOtherShop.fill(false, std::max<int>(m_module.CompanionCount, rows.size()) + 1);
    m_rowsRead = QVector<BoardRowState>(rows.size() + 1);
    m_rowsShown = QVector<BoardRowState>(rows.size() + 1);

    const QTime now = Clock::now().time();
    int i = 0;
    for (const Row &row : rows)
        FillBoardRow(p, ++i, row, now, false);
    BoardRowCount = i;
    m_module.WarnState[p][0] = i;
    paintNgMarks();
}

void Main_Form::FillBoardRow(int p, int i, const Row &row, const QTime &now, bool keepRunningEnd)
{
    Grid_Girl->setText(i, ColName, NullToEmpty(row.value(QStringLiteral("名前"))));
    Grid_Girl->setText(i, ColGenji, NullToEmpty(row.value(QStringLiteral("源氏名"))));
    Grid_Girl->setText(i, ColDuty, row.value(QStringLiteral("出退勤")).toInt() ? OnDuty : OffDuty);
    Grid_Girl->setText(i, ColBusy, boolText(row.value(QStringLiteral("空")).toInt()));
    const bool other = row.value(QStringLiteral("他店舗")).toInt();
    Grid_Girl->setText(i, ColOther, boolText(other));
    if (i < RowOtherShop.size())
        RowOtherShop[i] = other;

    const QVariant end = row.value(QStringLiteral("終了予定"));
    const QTime endTime = end.isNull() ? QTime() : QTime::fromString(end.toString(), QStringLiteral("HH:mm:ss"));
    const QString endText = end.isNull() ? QString() : FormatHHMM(endTime);
    // The same end as shown: the tick keeps counting its minutes (an end reached stays reached).
    if (!(keepRunningEnd && Grid_Girl->text(i, ColEnd) == endText)) {
        if (end.isNull()) {
            Grid_Girl->setText(i, ColEnd, QString());
            Grid_Girl->setText(i, ColLeft, QString());
            Grid_Girl->setCellBackground(i, ColLeft, QColor());
            m_module.EndTimes[p][i] = QTime();
            m_module.WarnState[p][i] = -1;
        } else {
            Grid_Girl->setText(i, ColEnd, endText);
            int left = RemainingMinutes(endTime, now);
            if (left > 1380)   // more than 23 hours away: the end has already passed
                left = 0;
            Grid_Girl->setText(i, ColLeft, QString::number(left));
            m_module.EndTimes[p][i] = endTime;
            m_module.WarnState[p][i] = left;
            if (left <= m_module.ShopWarnMinutes[p]) {
                Grid_Girl->setCellBackground(i, ColLeft, WarningColour);
                Grid_Girl->select(0, 0);
            } else {
                Grid_Girl->setCellBackground(i, ColLeft, QColor());
            }
        }
    }
    Grid_Girl->setText(i, ColPlace, NullToEmpty(row.value(QStringLiteral("場所"))));
    Grid_Girl->setText(i, ColCompanionId, NullToEmpty(row.value(QStringLiteral("コンパニオンID"))));
    Grid_Girl->setText(i, ColCustomerId, NullToEmpty(row.value(QStringLiteral("顧客ID"))));
    Grid_Girl->setText(i, ColOptions, NullToEmpty(row.value(QStringLiteral("オプション"))));
    Grid_Girl->setText(i, ColSelectedOptions, NullToEmpty(row.value(QStringLiteral("選択OP"))));
    if (SharedDatabase(m_module.AppDatabase))
        noteRowRead(i, row);
}

void Main_Form::LoadTariff(qint32 shopId)
{
    const std::optional<ShopTariffLoad> load = LoadShopTariff(m_module.AppDatabase, shopId);
    // Options: a box for every named option, hidden for the others.
    for (int k = 0; k < 15; ++k) {
        const QString name = load ? load->optionNames[k] : QString();
        QCheckBox *box = Check_Option[k];
        box->setChecked(false);
        box->setVisible(!name.isEmpty());
        // Shown as typed: an "&" in the name is no keyboard accelerator that ticks the box.
        box->setText(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (!name.isEmpty())
            box->setEnabled(true);
    }
    Combo_Course->clear();
    if (!load) {
        Tariff.ShopOptionMask = 0;
        Tariff.OptionFee.fill(Money());
        Combo_Course->setCurrentIndex(-1);
        return;
    }
    Tariff = load->tariff;
    Combo_Course->addItems(load->courseLines);
    Combo_Course->setCurrentIndex(-1);
    UpDown_Ext->setSingleStep(Tariff.ExtMinutes);
    // The top of the spinner is a whole number of units, so every value stays a number of extensions.
    UpDown_Ext->setMaximum(Tariff.ExtMinutes > 0 ? 999 / Tariff.ExtMinutes * Tariff.ExtMinutes : 999);
}

// ---------------------------------------------------------------------------------------------
// Board write-back

void Main_Form::WriteBackBoard()
{
    if (Tariff.SelectedShopID == 0 || BoardRowCount == 0 || !m_module.AppDatabase.isOpen())
        return;
    Database &db = m_module.AppDatabase;
    // With several PCs only the rows this PC changed are written, and only while they still hold what
    // it read: another PC's newer row stands (the next reading of the board shows it).
    const bool shared = SharedDatabase(db);
    const bool own = !db.inTransaction();
    if (own)
        db.beginTransaction();
    try {
        for (int r = 1; r <= BoardRowCount && !Grid_Girl->text(r, ColName).isEmpty(); ++r) {
            if (shared) {
                if (SameBoardRow(gridRowState(r), m_rowsShown.value(r)))
                    continue;
                try {
                    claimRow(r, BoardAction::Change);
                } catch (const AppError &error) {
                    if (error.number() != AppError::ChangedElsewhere)
                        throw;
                    continue;
                }
            }
            WriteBackRow(r);
        }
        if (own)
            db.commit();
    } catch (...) {
        if (own)
            db.rollback();
        throw;
    }
}

BoardRowState Main_Form::gridRowState(int r) const
{
    return {SqlBool(Grid_Girl->text(r, ColDuty) == OnDuty), SqlBool(Grid_Girl->text(r, ColBusy)),
            SqlBool(Grid_Girl->text(r, ColOther)), storedTime(Grid_Girl->text(r, ColEnd)),
            SqlQuote(Grid_Girl->text(r, ColPlace)), SqlNumber(Grid_Girl->text(r, ColCustomerId)),
            SqlNumber(Grid_Girl->text(r, ColSelectedOptions))};
}

void Main_Form::WriteBackRow(int r)
{
    WriteBoardRow(m_module.AppDatabase, Tariff.SelectedShopID, SqlNumber(Grid_Girl->text(r, ColCompanionId)),
                  gridRowState(r));
    rememberRow(r);
}

void Main_Form::noteRowRead(int r, const Row &row)
{
    if (m_rowsRead.size() <= r) {
        m_rowsRead.resize(r + 1);
        m_rowsShown.resize(r + 1);
    }
    m_rowsRead[r] = BoardRowStateOf(row);
    m_rowsShown[r] = gridRowState(r);
}

void Main_Form::rememberRow(int r)
{
    if (r < 1)
        return;
    if (m_rowsRead.size() <= r) {
        m_rowsRead.resize(r + 1);
        m_rowsShown.resize(r + 1);
    }
    m_rowsShown[r] = gridRowState(r);
    m_rowsRead[r] = m_rowsShown[r];
}

void Main_Form::changeRow(int r)
{
    Database &db = m_module.AppDatabase;
    if (!SharedDatabase(db)) {
        WriteBackRow(r);
        return;
    }
    db.atomic([&] {
        claimRow(r, BoardAction::Change);
        WriteBackRow(r);
    });
}

void Main_Form::claimRow(int r, BoardAction action)
{
    Database &db = m_module.AppDatabase;
    if (!SharedDatabase(db))
        return;
    const QVector<StatusCell> her = LockCompanionStatus(db, SqlNumber(Grid_Girl->text(r, ColCompanionId)));
    const QString refusal = BoardActionRefusal(action, Tariff.SelectedShopID, her, m_rowsRead.value(r));
    if (!refusal.isEmpty())
        throw AppError(AppError::ChangedElsewhere, refusal);
}

// ---------------------------------------------------------------------------------------------
// Status board

void Main_Form::Grid_Girl_BeforeEdit(int row, int col, bool &cancel)
{
    // Duty, busy and other-shop only; the duty list is offered on companion rows alone.
    cancel = !(col == ColDuty || col == ColBusy || col == ColOther) || (col == ColDuty && row > BoardRowCount);
}

void Main_Form::Grid_Girl_AfterEdit(int row, int col)
{
    if (col != ColDuty || row < 1 || row > BoardRowCount)
        return;
    guarded([&] {
        if (Grid_Girl->text(row, ColDuty) == OffDuty && Grid_Girl->text(row, ColOther) == True_) {
            // Out on another shop's booking: she goes off duty here only. The booking is that shop's,
            // and freeing her rows would offer her there while she is still out.
            changeRow(row);
        } else if (Grid_Girl->text(row, ColDuty) == OffDuty) {
            Grid_Girl->setText(row, ColBusy, False_);
            Grid_Girl->setText(row, ColOther, False_);
            RowOtherShop[row] = false;
            EndBooking(row);
            Grid_Girl->select(row, ColDuty);
        } else {
            // On duty reaches the store at once, so a crash never loses who came in.
            changeRow(row);
        }
    });
}

void Main_Form::Grid_Girl_Click()
{
    const int r = Grid_Girl->row();
    const int c = Grid_Girl->col();
    if (r < 1)
        return;
    if (r > BoardRowCount) {
        if (c == ColBusy || c == ColOther)
            Grid_Girl->setText(r, c, False_);
        return;
    }
    switch (c) {
    case ColName:
    case ColGenji:
        RecallBooking(r);
        SelectedBoardRow = r;
        break;
    case ColBusy:
        guarded([&] {
            if (Grid_Girl->text(r, ColDuty) == OffDuty)
                Grid_Girl->setText(r, ColBusy, False_);   // an off-duty companion cannot be out
            if (Grid_Girl->text(r, ColOther) == True_) {
                Grid_Girl->setText(r, ColBusy, True_);    // out for another shop: not changed here
                return;
            }
            if (Grid_Girl->text(r, ColBusy) == True_ && !ConfirmNgPick(r)) {
                Grid_Girl->setText(r, ColBusy, False_);   // barred for the caller, and the operator stopped
                return;
            }
            ResetBookingEntry();
            if (Grid_Girl->text(r, ColBusy) == True_)
                StartBooking(r);
            else
                EndBooking(r);
        });
        break;
    case ColOther:
        Grid_Girl->setText(r, ColOther, boolText(RowOtherShop.value(r)));
        break;
    default:
        break;
    }
}

void Main_Form::StartBooking(int r)
{
    SelectedBoardRow = r;
    const QString cid = Grid_Girl->text(r, ColCompanionId);
    Grid_Girl->setText(r, ColSelectedOptions, QStringLiteral("0"));
    // Busy at the other shops and out here reach the file together: never out for no shop. Another PC
    // may have sent her out meanwhile: exactly one of two ticks wins.
    m_module.AppDatabase.atomic([&] {
        WriteTick(m_module.AppDatabase, BoardAction::Start, Tariff.SelectedShopID, otherShopIds(), SqlNumber(cid),
                  gridRowState(r), m_rowsRead.value(r));
        rememberRow(r);
    });
    Label_Shop_Name->setText(Combo_Shop_Name->currentText());
    Label_Girl_Name->setText(Grid_Girl->text(r, ColName));
    Label_GirlID->setText(cid);
    const QDateTime now = Clock::now();
    Label_Date->setText(BusinessDate(now).toString(QStringLiteral("yyyy/MM/dd")));
    Text_Start_Time->setText(FormatHHMM(now.time()));
    const int offered = int(Grid_Girl->value(r, ColOptions));
    for (int k = 0; k < 15; ++k) {
        const bool has = offered & m_module.BitOn[k];
        Check_Option[k]->setEnabled(has);
        if (has)
            Check_Option[k]->setChecked(false);
    }
    SelectedOptionMask = 0;
    LoadSurcharges(cid);
}

void Main_Form::LoadSurcharges(const QString &companionId)
{
    CompanionSurcharges.fill(0);
    const QVariant id = SqlNumber(companionId);
    const std::optional<Row> row = id.isNull()
        ? std::nullopt
        : CompanionColumns(m_module.AppDatabase, id.toInt(),
                           QStringLiteral("C1割増,C2割増,C3割増,C4割増,OP割増,延長割増,指名割増,キャンセル割増").split(QLatin1Char(',')));
    if (!row)
        return;
    for (int i = 0; i < 8; ++i)
        CompanionSurcharges[i] = shortOrZero(row->value(i));
}

void Main_Form::EndBooking(int r)
{
    const QString cid = Grid_Girl->text(r, ColCompanionId);
    Grid_Girl->setText(r, ColEnd, QString());
    Grid_Girl->setText(r, ColLeft, QString());
    Grid_Girl->setText(r, ColPlace, QString());
    // Free at the other shops and free here reach the file together: never bookable twice.
    m_module.AppDatabase.atomic([&] {
        WriteTick(m_module.AppDatabase, BoardAction::Change, Tariff.SelectedShopID, otherShopIds(), SqlNumber(cid),
                  gridRowState(r), m_rowsRead.value(r));
        rememberRow(r);
    });
    if (m_shownPosition >= 0) {
        m_module.EndTimes[m_shownPosition][r] = QTime();
        m_module.WarnState[m_shownPosition][r] = -1;
    }
    Grid_Girl->setCellBackground(r, ColLeft, QColor());
    for (int k = 0; k < 15; ++k) {
        if (Tariff.ShopOptionMask & m_module.BitOn[k]) {
            Check_Option[k]->setChecked(false);
            Check_Option[k]->setVisible(true);
        }
    }
    Combo_Course->setCurrentIndex(-1);
}

QVector<qint32> Main_Form::otherShopIds() const
{
    QVector<qint32> ids;
    for (int s = 0; s < m_module.ShopCount; ++s)
        if (s != m_shownPosition)
            ids << m_module.ShopIDs[s];
    return ids;
}

// ---------------------------------------------------------------------------------------------
// End-time warning

void Main_Form::TimerWarningTick()
{
    const int keepRow = Grid_Girl->row();
    const int keepCol = Grid_Girl->col();
    QString warning = QStringLiteral("！終了予定！");
    const int header = warning.size();
    int lastNamed = -1;
    const QTime now = Clock::now().time();

    for (int s = 0; s < m_module.ShopCount; ++s) {
        const int rows = std::min<int>(m_module.WarnState[s].value(0), m_module.WarnState[s].size() - 1);
        for (int r = 1; r <= rows; ++r) {
            int &state = m_module.WarnState[s][r];
            if (state == -1)
                continue;
            int minutes = state == 0 ? 0 : RemainingMinutes(m_module.EndTimes[s][r], now);
            // Minutes only ever count down; a jump up means the end went by between two ticks.
            if (minutes > state)
                minutes = 0;
            state = minutes;
            const bool shown = s == m_shownPosition;
            if (shown)
                Grid_Girl->setText(r, ColLeft, QString::number(minutes));
            if (minutes > m_module.ShopWarnMinutes[s]) {
                if (shown)
                    Grid_Girl->setCellBackground(r, ColLeft, QColor());
            } else {
                if (s != lastNamed) {
                    warning += m_module.ShopNames.value(s) + QStringLiteral("\r\n");
                    lastNamed = s;
                }
                if (shown)
                    Grid_Girl->setCellBackground(r, ColLeft, WarningColour);
            }
        }
    }
    Grid_Girl->select(keepRow, keepCol);

    m_warningText = warning.size() > header ? warning : QString();
    if (!m_warningText.isEmpty()) {
        Text_Warning->setPlainText(QString(m_warningText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        Text_Warning->setVisible(true);
    } else {
        Text_Warning->clear();
        Text_Warning->setVisible(false);
    }
}

// ---------------------------------------------------------------------------------------------

void Main_Form::guarded(const std::function<void()> &body)
{
    try {
        body();
    } catch (const AppError &error) {
        if (error.number() == AppError::ChangedElsewhere)
            Notice(this, error.description());
        else
            ShowCommonError(this, error);
        // The grid may hold what the file refused: show again what the file holds.
        try {
            ReloadShownShop();
        } catch (const AppError &) {
        }
    }
}

void Main_Form::ReloadShownShop()
{
    const int p = m_shownPosition;
    if (p < 0 || p >= m_module.ShopCount || m_module.ShopIDs[p] != Tariff.SelectedShopID) {
        m_module.RefreshWarningTables();
        return;
    }
    {
        const QSignalBlocker block(Combo_Shop_Name);
        Combo_Shop_Name->setCurrentIndex(p);
    }
    // Straight from the file, never writing the grid back first: its rows may be what failed.
    LoadBoardRows(p);
    m_module.RefreshWarningTables();
    // The booking being entered stays with her row, wherever the reload put it.
    const QString entered = Label_GirlID->text();
    int found = 0;
    for (int r = 1; r <= BoardRowCount && !entered.isEmpty(); ++r)
        if (Grid_Girl->text(r, ColCompanionId) == entered)
            found = r;
    if (!entered.isEmpty() && (found == 0 || Grid_Girl->text(found, ColBusy) != True_))
        ResetBookingEntry();
    else if (found > 0)
        SelectedBoardRow = found;
    TimerWarningTick();
}

} // namespace rp
