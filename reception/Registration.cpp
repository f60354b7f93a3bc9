// Registration of the booking on the board (登録) and the recall of a running booking from the board.
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "data/Locks.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/SqlText.h"
#include "data/TextUtil.h"
#include "reception/BookingEntry.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"
#include "reception/StatusStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace rp {

namespace {

enum BoardColumn {
    ColName = 0, ColDuty = 2, ColBusy = 3, ColOther = 4, ColEnd = 5, ColLeft = 6, ColPlace = 7, ColCompanionId = 8,
    ColCustomerId = 9, ColOptions = 10, ColSelectedOptions = 11
};

const QString True_ = QStringLiteral("True");

// A time as the board shows it; empty is none. Anything else is refused as the store would refuse it.
std::optional<QTime> boardTime(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<QTime> t = ParseTime(ToHalfWidth(text));
    if (!t)
        throw AppError(AppError::TypeMismatch, QStringLiteral("型が一致しません。: ") + text);
    return t;
}

QDate boardDate(const QString &text)
{
    if (text.isEmpty())
        return {};
    QDate d = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    if (!d.isValid())
        d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid())
        throw AppError(AppError::TypeMismatch, QStringLiteral("型が一致しません。: ") + text);
    return d;
}

std::optional<QTime> storedTime(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    const QTime t = QTime::fromString(v.toString(), QStringLiteral("HH:mm:ss"));
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

} // namespace

void Main_Form::RegisterBooking()
{
    // Every box is judged again as the operator left it: a refused text is never stored by a click.
    if (!RecheckBoxes({Text_Tel, Combo_Name, Text_Note, Text_Start_Time, Text_End_Time, Text_Place}))
        return;
    QString name = Combo_Name->currentText();
    QString tel = Text_Tel->text();
    if (name.isEmpty() && tel.isEmpty()) {
        Notice(this, NoCustomerMessage());
        return;
    }
    const bool cancelled = Check_Cancel->isChecked();
    const int p = Combo_Shop_Name->currentIndex();
    const bool whoAndWhere = p >= 0 && p < m_module.ShopCount && !Label_GirlID->text().isEmpty();
    // A cancellation needs no times, but it still belongs to a shop and a companion.
    if (!whoAndWhere
        || (!cancelled && (Text_Start_Time->text().isEmpty() || Text_End_Time->text().isEmpty()))) {
        Notice(this, MissingDataMessage());
        return;
    }
    ApplyPlaceholders(name, tel);

    guarded([&] {
        // A companion barred for this customer is booked only when the operator says so; a cancellation
        // sends her nowhere and is not asked about.
        if (!cancelled) {
            const qint32 customerId = CurrentCustomerId != 0
                ? CurrentCustomerId
                : FindCustomer(m_module.AppDatabase, name, tel).value_or(CustomerRecord{}).id;
            if (!ConfirmNgBooking(customerId, m_module.ShopIDs[p], SqlNumber(Label_GirlID->text()).toInt(),
                                  Label_Girl_Name->text()))
                return;
        }

        BookingRecord b;
        b.customer = {0, name, tel, Combo_Rank->currentText(), Text_Note->text()};
        b.chosenCustomerId = CurrentCustomerId;
        b.shopId = m_module.ShopIDs[p];
        for (int q = 0; q < m_module.ShopCount; ++q)
            if (q != p)
                b.otherShopIds << m_module.ShopIDs[q];
        const QString gid = Label_GirlID->text();
        b.companionId = SqlNumber(gid).toInt();
        b.date = boardDate(Label_Date->text());
        b.start = boardTime(Text_Start_Time->text());
        b.end = boardTime(Text_End_Time->text());
        b.loadedStart = boardTime(LoadedStartTime);
        b.place = Text_Place->text();
        b.course = Combo_Course->currentIndex() < 0 ? CoursePrompt() : Combo_Course->currentText();
        b.options = SelectedOptionMask;
        if (!Text_Ext->text().isEmpty())
            b.extension = SqlNumber(Text_Ext->text()).toInt();
        b.nomination = Check_Shimei->isChecked();
        b.cancelled = cancelled;
        b.pay = SqlNumber(Label_Pay->text()).toLongLong();
        b.girlPay = SqlNumber(Label_GirlPay->text()).toLongLong();
        // The charges behind the amounts shown, when they were priced from this shop's tariff.
        if (Tariff.SelectedShopID == b.shopId)
            b.charges = ChargesBehind(Tariff, CompanionSurcharges, CurrentChoices(), cancelled, b.pay, b.girlPay);

        // Her row on the board: the one picked, as long as it is still hers.
        int row = SelectedBoardRow;
        if (row < 1 || row > BoardRowCount || Grid_Girl->text(row, ColCompanionId) != gid) {
            row = 0;
            for (int r = 1; r <= BoardRowCount && row == 0; ++r)
                if (Grid_Girl->text(r, ColCompanionId) == gid)
                    row = r;
        }
        // Registering at a shop that is not shown would put its booking on another shop's board.
        if (p != m_shownPosition)
            row = 0;
        if (row > 0) {
            b.onDuty = Grid_Girl->text(row, ColDuty) == QStringLiteral("出勤");
            b.busy = Grid_Girl->text(row, ColBusy) == True_;
            b.otherShop = Grid_Girl->text(row, ColOther) == True_;
            b.shownRow = m_rowsRead.value(row);
        }
        b.now = Clock::now().time();

        // Nothing on the board changes until the store has taken all of it.
        const BookingResult result = rp::RegisterBooking(m_module.AppDatabase, b);

        const QString mask = QString::number(b.options);
        if (row > 0) {
            m_module.EnsureWarnRows(row + 1);
            switch (result.branch) {
            case StatusBranch::BusyCancelled:
                Grid_Girl->setText(row, ColBusy, QStringLiteral("False"));
                Grid_Girl->setText(row, ColEnd, QString());
                Grid_Girl->setText(row, ColLeft, QString());
                Grid_Girl->setText(row, ColPlace, QString());
                Grid_Girl->setCellBackground(row, ColLeft, QColor());
                m_module.EndTimes[p][row] = QTime();
                m_module.WarnState[p][row] = -1;
                Grid_Girl->setText(row, ColCustomerId, QString::number(result.customerId));
                break;
            case StatusBranch::Busy:
                Grid_Girl->setText(row, ColEnd, Text_End_Time->text());
                Grid_Girl->setText(row, ColLeft, QString::number(result.minutesLeft));
                m_module.EndTimes[p][row] = *b.end;
                m_module.WarnState[p][row] = result.minutesLeft;
                Grid_Girl->setText(row, ColPlace, b.place);
                Grid_Girl->setText(row, ColCustomerId, QString::number(result.customerId));
                break;
            case StatusBranch::NotBusy:
                break;
            case StatusBranch::OutForOtherShop:
                break;
            }
            if (result.branch != StatusBranch::OutForOtherShop)
                Grid_Girl->setText(row, ColSelectedOptions, mask);
            // What the store now holds for her row, which the grid need not show all of.
            const std::optional<Row> stored =
                SharedDatabase(m_module.AppDatabase) ? StatusRowOf(m_module.AppDatabase, b.shopId, b.companionId) : std::nullopt;
            if (stored) {
                rememberRow(row);
                m_rowsRead[row] = BoardRowStateOf(*stored);
            }
        }

        Combo_Name->setEditText(name);
        Text_Tel->setText(tel);
        m_ngLetThrough = {0, 0};
        CurrentCustomerId = result.customerId;
        LoadCustomer();
    });
}

void Main_Form::RecallBooking(int r)
{
    if (Grid_Girl->text(r, ColCustomerId).isEmpty() || m_shownPosition < 0)
        return;
    const auto recall = [&] {
        ResetBookingEntry();
        Database &db = m_module.AppDatabase;
        // Her booking as the database holds it now, and nobody changes it while it is read.
        claimRow(r, BoardAction::Change);
        const qint32 shopId = m_module.ShopIDs[m_shownPosition];
        const QString gid = Grid_Girl->text(r, ColCompanionId);
        const std::optional<Row> status = StatusRowOf(db, shopId, SqlNumber(gid));
        if (!status)
            return;
        const std::optional<CustomerRecord> customer = CustomerById(db, status->value(QStringLiteral("顧客ID")).toInt());
        if (!customer)
            return;

        // The customer panel, with the names stored under her number to choose from.
        Combo_Name->clear();
        const QVector<CustomerRecord> onNumber = FindCustomersByTel(db, customer->tel);
        for (const CustomerRecord &c : onNumber)
            Combo_Name->addItem(c.name, c.id);
        Combo_Name->setCurrentIndex(Combo_Name->findData(customer->id));
        Combo_Name->setEditText(customer->name);
        Text_Tel->setText(customer->tel);
        Combo_Rank->setEditText(customer->rank);
        Text_Note->setText(customer->note);
        CurrentCustomerId = customer->id;
        LoadCustomer();

        const QDate day = QDate::fromString(status->value(QStringLiteral("年月日")).toString(), Qt::ISODate);
        const std::optional<QTime> start = storedTime(status->value(QStringLiteral("開始時刻")));
        const std::optional<Row> stored = StoredBookingRow(db, customer->id, shopId, SqlNumber(gid), day, start);
        if (!stored)
            return;

        StoredEntry e;
        e.shopName = Combo_Shop_Name->currentText();
        e.companionName = NullToEmpty(status->value(QStringLiteral("名前")));
        e.companionId = gid;
        e.date = ShortDate(day);
        e.start = start ? FormatHHMM(*start) : QString();
        const std::optional<QTime> end = storedTime(stored->value(QStringLiteral("終了時刻")));
        e.end = end ? FormatHHMM(*end) : QString();
        e.place = NullToEmpty(status->value(QStringLiteral("場所")));
        e.course = NullToEmpty(stored->value(QStringLiteral("コース名")));
        const QVariant extension = stored->value(QStringLiteral("延長"));
        if (!extension.isNull())
            e.extension = extension.toInt();
        e.nomination = stored->value(QStringLiteral("指名")).toInt() != 0;
        e.cancelled = stored->value(QStringLiteral("キャンセル")).toInt() != 0;
        e.offeredMask = qint16(Grid_Girl->value(r, ColOptions));
        e.selectedMask = qint16(Grid_Girl->value(r, ColSelectedOptions));
        e.pay = Money::fromYen(stored->value(QStringLiteral("店売上")).toLongLong());
        e.girlPay = Money::fromYen(stored->value(QStringLiteral("コンパニオン支払")).toLongLong());
        ShowStoredBooking(e);
    };
    guarded([&] {
        if (SharedDatabase(m_module.AppDatabase))
            m_module.AppDatabase.atomic(recall);
        else
            recall();
    });
}

} // namespace rp
