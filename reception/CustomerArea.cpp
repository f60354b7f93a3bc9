// The customer area of the reception board: search by number, the customer's history and total,
// the customer's own data, the checks of its boxes and the history popup.
#include "app/Application.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/BookingStore.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"

#include <QAction>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace rp {

namespace {

// Runs the board's check when the operator leaves one of the watched boxes. Focus moves that the
// window's own activation causes (a message box, a popup list) are not the operator leaving.
class FocusOutCheck : public QObject
{
public:
    explicit FocusOutCheck(Main_Form *form) : QObject(form), m_form(form) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<const QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                if (auto *box = qobject_cast<QWidget *>(watched))
                    m_form->CheckCustomerField(box);
        }
        return false;
    }

private:
    Main_Form *m_form;
};

enum HistoryColumn {
    HShop = 0, HCompanion = 1, HGenji = 2, HNomination = 3, HDate = 4, HTime = 5, HPlace = 6, HPay = 7, HCancel = 8,
    HOptions = 9
};

QString boolWord(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString hhmm(const std::optional<QTime> &t) { return t ? t->toString(QStringLiteral("HH:mm")) : QString(); }

void setComboText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
}

} // namespace

void Main_Form::wireCustomerArea()
{
    connect(Cmd_Search, &QPushButton::clicked, this, &Main_Form::Cmd_Search_Click);
    connect(Combo_Name, &QComboBox::activated, this, &Main_Form::Combo_Name_Click);
    connect(Cmd_UserUpdate, &QPushButton::clicked, this, &Main_Form::Cmd_UserUpdate_Click);
    connect(Cmd_NG, &QPushButton::clicked, this, &Main_Form::Cmd_NG_Click);
    connect(Cmd_Regist, &QPushButton::clicked, this, &Main_Form::RegisterBooking);
    connect(mnuRDel, &QAction::triggered, this, &Main_Form::mnuRDel_Click);
    // The history shows what was booked: a click on its check-box columns must not flip them.
    connect(Grid_Rireki, &Grid::beforeEdit, this, [](int, int, bool &cancel) { cancel = true; });
    auto *check = new FocusOutCheck(this);
    m_customerWatch = check;
    for (QWidget *box : std::initializer_list<QWidget *>{Text_Tel, Combo_Name, Text_Note, Text_Place})
        box->installEventFilter(check);
    // The name list is only ever filled by the search: Enter must not add the typed name to it.
    Combo_Name->setCompleter(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Search and load

void Main_Form::Cmd_Search_Click()
{
    guarded([&] { searchTel(0); });
}

void Main_Form::ForgetCustomer()
{
    CurrentCustomerId = 0;
    m_numberChangeOf.reset();
    Label_NewCaller->setVisible(false);
    Text_Tel->clear();
    Combo_Name->clear();
    Combo_Name->setEditText(QString());
    setComboText(Combo_Rank, QString());
    Text_Note->clear();
    Label_Total->clear();
    clearHistory();
    ShowNgMarks();
}

void Main_Form::searchTel(qint32 preferId)
{
    CurrentCustomerId = 0;
    m_numberChangeOf.reset();
    Label_NewCaller->setVisible(false);
    ShowNgMarks();
    if (Text_Tel->text().isEmpty())
        return;
    Combo_Name->clear();
    Combo_Name->setEditText(QString());
    const QVector<CustomerRecord> found = FindCustomersByTel(m_module.AppDatabase, Text_Tel->text());
    if (found.isEmpty()) {
        setComboText(Combo_Rank, QString());
        Text_Note->clear();
        Label_Total->clear();
        clearHistory();
        // Perhaps the caller gave only the end of a known number.
        if (const std::optional<CallerMatch> caller = chooseByTail(Text_Tel->text())) {
            Text_Tel->setText(caller->tel);
            searchTel(caller->id);
            return;
        }
        Label_NewCaller->setVisible(true);
        return;
    }
    int chosen = 0;
    for (int i = 0; i < found.size(); ++i) {
        Combo_Name->addItem(found[i].name, found[i].id);
        if (found[i].id == preferId)
            chosen = i;
    }
    Combo_Name->setCurrentIndex(chosen);
    // Namesakes on one number are told apart by the entry chosen, not by the name.
    CurrentCustomerId = found[chosen].id;
    LoadCustomer();
}

std::optional<CallerMatch> Main_Form::chooseByTail(const QString &typed)
{
    const std::optional<QString> digits = TailSearchDigits(typed);
    if (!digits)
        return std::nullopt;
    const QVector<CallerMatch> callers =
        OfferedCallers(CustomersByTelTail(m_module.AppDatabase, TailKey(*digits)), *digits);
    if (callers.isEmpty())
        return std::nullopt;
    const std::optional<int> chosen = Prompt().choose(this, CallerChoice(callers, *digits));
    if (!chosen || *chosen < 0 || *chosen >= callers.size())
        return std::nullopt;
    return callers[*chosen];
}

void Main_Form::Text_Tel_Change()
{
    Label_NewCaller->setVisible(false);
    // Only what belongs to the caller shown goes: a name typed for a new caller stays.
    if (CurrentCustomerId == 0 && HistoryKeys.isEmpty())
        return;
    if (CurrentCustomerId != 0)
        m_numberChangeOf = CustomerRecord{CurrentCustomerId, Combo_Name->currentText(), QString(),
                                          Combo_Rank->currentText(), Text_Note->text()};
    CurrentCustomerId = 0;
    Combo_Name->clear();
    Combo_Name->setEditText(QString());
    setComboText(Combo_Rank, QString());
    Text_Note->clear();
    Label_Total->clear();
    clearHistory();
    ShowNgMarks();
}

void Main_Form::Combo_Name_Click(int index)
{
    guarded([&] {
        CurrentCustomerId = Combo_Name->itemData(index).toInt();
        LoadCustomer();
    });
}

void Main_Form::LoadCustomer()
{
    clearHistory();
    Label_Total->setText(QStringLiteral("0"));
    const std::optional<CustomerRecord> customer =
        FindCustomer(m_module.AppDatabase, Combo_Name->currentText(), Text_Tel->text(), CurrentCustomerId);
    if (!customer)
        return;
    Label_NewCaller->setVisible(false);
    setComboText(Combo_Rank, customer->rank);
    Text_Note->setText(customer->note);
    CurrentCustomerId = customer->id;
    m_loadedCustomer = customer;
    m_numberChangeOf.reset();
    const CustomerHistory history = LoadHistory(m_module.AppDatabase, customer->id);
    showHistory(history);
    Label_Total->setText(FormatTotal(history.total));
    ResetBookingEntry();
    ShowNgMarks();
}

void Main_Form::clearHistory()
{
    Grid_Rireki->clearData();
    Grid_Rireki->setRowCount(Grid::InitialRows - 1);
    HistoryKeys.clear();
}

void Main_Form::showHistory(const CustomerHistory &history)
{
    // The grid grows for a long history, so that every visit is listed.
    Grid_Rireki->setRowCount(std::max<int>(Grid::InitialRows - 1, history.lines.size()));
    // The rows are all there; telling the view of each of the cells filled below only costs time with a
    // long history, so it is told once, at the end.
    Grid_Rireki->setUpdatesEnabled(false);
    Grid_Rireki->model()->blockSignals(true);
    HistoryKeys.reserve(history.lines.size());
    int r = 0;
    for (const HistoryLine &line : history.lines) {
        ++r;
        Grid_Rireki->setText(r, HShop, line.shopName);
        Grid_Rireki->setText(r, HCompanion, line.companionName);
        Grid_Rireki->setText(r, HGenji, line.genjiName);
        Grid_Rireki->setText(r, HNomination, boolWord(line.nomination));
        Grid_Rireki->setText(r, HDate, ShortDate(line.key.date));
        Grid_Rireki->setText(r, HTime, hhmm(line.key.start) + QStringLiteral(" - ") + hhmm(line.end));
        Grid_Rireki->setText(r, HPlace, line.place);
        Grid_Rireki->setText(r, HPay, QString::number(line.pay.roundedYen()));
        Grid_Rireki->setText(r, HCancel, boolWord(line.cancelled));
        Grid_Rireki->setText(r, HOptions, line.options);
        HistoryKeys << line.key;
    }
    Grid_Rireki->model()->blockSignals(false);
    Grid_Rireki->setUpdatesEnabled(true);
    Grid_Rireki->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// The customer's own data

void Main_Form::Cmd_UserUpdate_Click()
{
    // Typing a new number empties the area of the customer shown; she is still the one corrected.
    const std::optional<CustomerRecord> changing = CurrentCustomerId == 0 ? m_numberChangeOf : std::nullopt;
    if (CurrentCustomerId == 0 && !changing)
        return;
    if (!RecheckBoxes({Text_Tel, Combo_Name, Text_Note}))
        return;
    if (Text_Tel->text().isEmpty()) {
        Notice(this, QStringLiteral("電話番号が入力されていません。"));
        return;
    }
    const qint32 id = changing ? changing->id : CurrentCustomerId;
    // What the emptied boxes showed is kept unless the operator typed something new in them.
    const auto typedOr = [&](const QString &typed, QString CustomerRecord::*kept) {
        return changing && typed.isEmpty() ? (*changing).*kept : typed;
    };
    if (AskOkCancel(this, QStringLiteral("顧客の基本データを修正します。"))) {
        guarded([&] {
            UpdateCustomer(m_module.AppDatabase,
                           {id, typedOr(Combo_Name->currentText(), &CustomerRecord::name), Text_Tel->text(),
                            typedOr(Combo_Rank->currentText(), &CustomerRecord::rank),
                            typedOr(Text_Note->text(), &CustomerRecord::note)});
        });
    }
    // Either way the area shows again what the file holds, for the same customer.
    guarded([&] { searchTel(id); });
}

bool Main_Form::RecheckBoxes(std::initializer_list<QWidget *> boxes)
{
    for (QWidget *box : boxes) {
        // A time is only judged here: what leaving it moves (the end after the start) was done when it
        // was left, and must not happen twice.
        const bool ok = box == Text_Start_Time || box == Text_End_Time ? CheckTimeBox(static_cast<QLineEdit *>(box))
                                                                       : CheckCustomerField(box);
        if (!ok)
            return false;
    }
    return true;
}

bool Main_Form::CheckCustomerField(QWidget *box)
{
    if (m_checkingField)
        return true;
    CustomerField field;
    QString text;
    if (box == Text_Tel) {
        field = CustomerField::Tel;
        text = Text_Tel->text();
    } else if (box == Combo_Name) {
        field = CustomerField::Name;
        text = Combo_Name->currentText();
    } else if (box == Text_Note) {
        field = CustomerField::Note;
        text = Text_Note->text();
    } else if (box == Text_Place) {
        field = CustomerField::Place;
        text = Text_Place->text();
    } else {
        return true;
    }
    const FieldCheck result = CheckCustomerText(field, text);
    if (result.text != text) {
        if (box == Combo_Name)
            Combo_Name->setEditText(result.text);
        else
            static_cast<QLineEdit *>(box)->setText(result.text);
    }
    if (result.ok)
        return true;
    // While the message is up and the focus is put back, the focus moves are ours, not the operator's.
    m_checkingField = true;
    Notice(this, result.message);
    box->setFocus(Qt::OtherFocusReason);
    m_checkingField = false;
    return false;
}

// ---------------------------------------------------------------------------------------------
// History popup

void Main_Form::mnuRDel_Click()
{
    if (Text_Tel->text().isEmpty() && Combo_Name->currentText().isEmpty())
        return;
    // The row is the grid's current one, found again by the ids it was read with: names may have
    // changed or be shared since, and a row of a shop that is gone still has its ids.
    const int r = Grid_Rireki->row();
    if (r < 1 || r > HistoryKeys.size())
        return;
    const Answer answer = Prompt().message(
        this,
        QStringLiteral("現在選択されている行の履歴データを削除します。\r\n（右クリックした位置ではないので注意！！）"),
        Buttons::YesNo, QStringLiteral("履歴データ削除"));
    if (answer != Answer::Yes)
        return;
    const HistoryKey key = HistoryKeys[r - 1];
    bool deleted = false;
    guarded([&] {
        DeleteHistoryRow(m_module.AppDatabase, key);
        deleted = true;
        CurrentCustomerId = key.customerId;
        LoadCustomer();
    });
    if (deleted)
        Notice(this, QStringLiteral("履歴データを削除しました。"));
}

} // namespace rp
