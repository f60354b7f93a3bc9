// The booking-entry area of the reception board: live pricing, the end time, and a stored booking shown again.
#include "reception/BookingEntry.h"

#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/TextUtil.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"
#include "reception/Pricing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace rp {

// ---------------------------------------------------------------------------------------------
// End-time rules

namespace {

int minuteOfDay(const QTime &t) { return t.hour() * 60 + t.minute(); }

// An end that is not a time is left alone rather than replaced by a guess.
QString shiftedEnd(const QString &end, int minutes)
{
    const std::optional<QTime> t = ParseTime(ToHalfWidth(end));
    return t ? FormatHHMM(AddMinutesWrapping(*t, minutes)) : end;
}

} // namespace

QString TimeMessage() { return QStringLiteral("時刻を２４時制で入力してください。(PM10:00 --> 22:00)"); }

void EntryTimes::startFocused()
{
    if (ParseTime(ToHalfWidth(start)))
        validStart = start;
}

bool EntryTimes::startLeft()
{
    if (start.isEmpty())
        return true;
    start = ToHalfWidth(start);
    const std::optional<QTime> now = ParseTime(start);
    if (!now)
        return false;
    // Moved from the start the end was placed from: re-entering it moves nothing, and a refused
    // text in between never counts as a start.
    if (!end.isEmpty())
        if (const std::optional<QTime> from = ParseTime(ToHalfWidth(validStart)))
            end = shiftedEnd(end, minuteOfDay(*now) - minuteOfDay(*from));
    validStart = start;
    return true;
}

bool EntryTimes::endLeft()
{
    if (end.isEmpty())
        return true;
    end = ToHalfWidth(end);
    return ParseTime(end).has_value();
}

void EntryTimes::courseChosen(int minutes)
{
    const std::optional<QTime> from = ParseTime(ToHalfWidth(start));
    if (!from || minutes == 0)
        return;
    end = FormatHHMM(AddMinutesWrapping(*from, minutes + extension));
    validStart = start;
    // The extension shown is now inside the end: later spinner clicks move it by their own change only.
    previousExtension = qint16(extension);
}

void EntryTimes::extensionChanged(int value)
{
    if (start.isEmpty())
        return;
    const int change = value - previousExtension;
    previousExtension = qint16(value);
    if (!end.isEmpty())
        end = shiftedEnd(end, change);
}

// ---------------------------------------------------------------------------------------------
// The entry area on the board

namespace {

// Focus moves the program itself causes (another window, a message box, a popup list) are not the
// operator entering or leaving a box.
class EntryFocusWatch : public QObject
{
public:
    EntryFocusWatch(QObject *parent, std::function<void(QObject *, bool)> onFocus)
        : QObject(parent), m_onFocus(std::move(onFocus))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_onFocus(watched, type == QEvent::FocusIn);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QObject *, bool)> m_onFocus;
};

EntryTimes readTimes(const Main_Form &f)
{
    EntryTimes t;
    t.start = f.Text_Start_Time->text();
    t.end = f.Text_End_Time->text();
    t.validStart = f.ValidStartTime;
    t.extension = f.UpDown_Ext->value();
    t.previousExtension = f.PreviousExtensionMinutes;
    return t;
}

void writeTimes(Main_Form &f, const EntryTimes &t)
{
    if (f.Text_Start_Time->text() != t.start)
        f.Text_Start_Time->setText(t.start);
    if (f.Text_End_Time->text() != t.end)
        f.Text_End_Time->setText(t.end);
    f.ValidStartTime = t.validStart;
    f.PreviousExtensionMinutes = t.previousExtension;
}

} // namespace

void Main_Form::wireEntry()
{
    connect(Check_Cancel, &QCheckBox::clicked, this, [this] { Check_Cancel_Click(); });
    connect(Check_Shimei, &QCheckBox::clicked, this, [this] { Check_Shimei_Click(); });
    for (int i = 0; i < 15; ++i)
        connect(Check_Option[i], &QCheckBox::clicked, this, [this, i] { Check_Option_Click(i); });
    // activated, not currentIndexChanged: the reset and the shop load set the list without pricing.
    connect(Combo_Course, &QComboBox::activated, this, [this] { Combo_Course_Click(); });
    // The program sets the spinner only with its signals blocked, so every change here is a click.
    connect(UpDown_Ext, &QSpinBox::valueChanged, this, [this](int value) {
        Text_Ext->setText(QString::number(value));
        UpDown_Ext_Change();
    });
    auto *watch = new EntryFocusWatch(this, [this](QObject *box, bool in) {
        if (box == Text_Start_Time) {
            if (in)
                Text_Start_Time_GotFocus();
            else
                Text_Start_Time_LostFocus();
        } else if (box == Text_End_Time && !in) {
            Text_End_Time_LostFocus();
        }
    });
    m_entryWatch = watch;
    Text_Start_Time->installEventFilter(watch);
    Text_End_Time->installEventFilter(watch);
}

void Main_Form::ResetBookingEntry()
{
    // The companion's name goes first: without it no box click below can re-price.
    Label_Shop_Name->clear();
    Label_Girl_Name->clear();
    Label_GirlID->clear();
    Label_Date->clear();
    for (QLineEdit *box : {Text_Start_Time, Text_End_Time, Text_Place}) {
        box->clear();
        box->setEnabled(true);
    }
    Text_Ext->clear();
    {
        const QSignalBlocker block(UpDown_Ext);
        UpDown_Ext->setValue(0);
    }
    UpDown_Ext->setEnabled(true);
    Check_Shimei->setChecked(false);
    Check_Shimei->setEnabled(true);
    Check_Cancel->setChecked(false);
    Label_Pay->setText(QStringLiteral("0"));
    Label_GirlPay->setText(QStringLiteral("0"));
    Combo_Course->setCurrentIndex(-1);
    Combo_Course->setEnabled(true);
    for (int i = 0; i < 15; ++i) {
        if (Tariff.ShopOptionMask & m_module.BitOn[i]) {
            Check_Option[i]->setChecked(false);
            Check_Option[i]->setVisible(true);
            Check_Option[i]->setEnabled(true);
        }
    }
    StartTimeAtFocus.clear();
    LoadedStartTime.clear();
    ValidStartTime.clear();
    PreviousExtensionMinutes = 0;
    CompanionSurcharges.fill(0);
}

qint16 Main_Form::OfferedOptionMask() const
{
    // Her own row: a click on another companion's name moves SelectedBoardRow, not the booking.
    int r = SelectedBoardRow;
    const QString gid = Label_GirlID->text();
    if (!gid.isEmpty() && Grid_Girl->text(r, 8) != gid)
        for (r = 1; r <= BoardRowCount && Grid_Girl->text(r, 8) != gid; ++r) {
        }
    if (r < 1 || r > BoardRowCount)
        return 0;
    return qint16(qRound(Grid_Girl->value(r, 10)));
}

BookingChoices Main_Form::CurrentChoices() const
{
    BookingChoices choices;
    choices.course = Combo_Course->currentIndex();
    choices.offeredMask = OfferedOptionMask();
    for (int i = 0; i < 15; ++i)
        if (Check_Option[i]->isChecked())
            choices.tickedMask = qint16(choices.tickedMask | m_module.BitOn[i]);
    choices.extensionMinutes = UpDown_Ext->value();
    choices.nomination = Check_Shimei->isChecked();
    return choices;
}

void Main_Form::RecalculateCharges()
{
    // A cancelled booking is charged by the cancellation rule whatever else is still ticked.
    if (Check_Cancel->isChecked()) {
        const CancelCharges c = PriceCancellation(Tariff, CompanionSurcharges);
        Label_Pay->setText(FormatNumber(c.total));
        Label_GirlPay->setText(FormatNumber(c.pay));
        return;
    }
    const Charges c = PriceBooking(Tariff, CompanionSurcharges, CurrentChoices());
    Label_Pay->setText(FormatNumber(c.total));
    Label_GirlPay->setText(FormatNumber(c.pay));
}

namespace {

void enablePricedControls(Main_Form &f, bool on, qint16 offered, const std::array<qint16, 16> &bitOn)
{
    for (QWidget *w : std::initializer_list<QWidget *>{f.Text_Start_Time, f.Text_End_Time, f.Text_Place,
                                                       f.Combo_Course, f.UpDown_Ext, f.Check_Shimei})
        w->setEnabled(on);
    for (int i = 0; i < 15; ++i) {
        if (!on)
            f.Check_Option[i]->setEnabled(false);
        else if (offered & bitOn[i])
            f.Check_Option[i]->setEnabled(true);
    }
}

} // namespace

void Main_Form::Check_Cancel_Click()
{
    if (Label_Girl_Name->text().isEmpty()) {
        Check_Cancel->setChecked(false);
        return;
    }
    enablePricedControls(*this, !Check_Cancel->isChecked(), OfferedOptionMask(), m_module.BitOn);
    RecalculateCharges();
}

void Main_Form::Check_Option_Click(int i)
{
    if (Label_Girl_Name->text().isEmpty()) {
        Check_Option[i]->setChecked(false);
        return;
    }
    if (Check_Option[i]->isChecked())
        SelectedOptionMask = qint16(SelectedOptionMask | m_module.BitOn[i]);
    else
        SelectedOptionMask = qint16(SelectedOptionMask & m_module.BitOff[i]);
    RecalculateCharges();
}

void Main_Form::Check_Shimei_Click()
{
    if (Label_Girl_Name->text().isEmpty()) {
        Check_Shimei->setChecked(false);
        return;
    }
    RecalculateCharges();
}

void Main_Form::Combo_Course_Click()
{
    if (Text_Start_Time->text().isEmpty())
        return;
    const int e = Combo_Course->currentIndex();
    EntryTimes t = readTimes(*this);
    t.courseChosen(e >= 0 && e < ShopTariff::MaxCourseEntries ? Tariff.CourseMinutes[e] : 0);
    writeTimes(*this, t);
    RecalculateCharges();
}

void Main_Form::UpDown_Ext_Change()
{
    if (Text_Start_Time->text().isEmpty())
        return;
    EntryTimes t = readTimes(*this);
    t.extensionChanged(UpDown_Ext->value());
    writeTimes(*this, t);
    RecalculateCharges();
}

void Main_Form::Text_Start_Time_GotFocus()
{
    if (m_checkingTime)
        return;
    StartTimeAtFocus = Text_Start_Time->text();
    EntryTimes t = readTimes(*this);
    t.startFocused();
    ValidStartTime = t.validStart;
}

namespace {

// A refused time: told, and the focus back in the box with its text; the focus moves this causes
// are not checks of their own.
void refuseTime(QWidget *form, QLineEdit *box, bool &checking)
{
    checking = true;
    Notice(form, TimeMessage());
    box->setFocus(Qt::OtherFocusReason);
    checking = false;
}

} // namespace

bool Main_Form::CheckTimeBox(QLineEdit *box)
{
    const QString text = box->text();
    if (text.isEmpty() || ParseTime(ToHalfWidth(text)))
        return true;
    refuseTime(this, box, m_checkingTime);
    return false;
}

bool Main_Form::Text_Start_Time_LostFocus()
{
    if (m_checkingTime)
        return true;
    EntryTimes t = readTimes(*this);
    const bool ok = t.startLeft();
    writeTimes(*this, t);
    if (!ok)
        refuseTime(this, Text_Start_Time, m_checkingTime);
    return ok;
}

bool Main_Form::Text_End_Time_LostFocus()
{
    if (m_checkingTime)
        return true;
    EntryTimes t = readTimes(*this);
    const bool ok = t.endLeft();
    writeTimes(*this, t);
    if (!ok)
        refuseTime(this, Text_End_Time, m_checkingTime);
    return ok;
}

void Main_Form::ShowStoredBooking(const StoredEntry &e)
{
    // Read first: a store failure then leaves the area as it was.
    LoadSurcharges(e.companionId);
    Label_Shop_Name->setText(e.shopName);
    Label_Girl_Name->setText(e.companionName);
    Label_GirlID->setText(e.companionId);
    Label_Date->setText(e.date);
    Text_Start_Time->setText(e.start);
    LoadedStartTime = e.start;
    ValidStartTime = ParseTime(ToHalfWidth(e.start)) ? e.start : QString();
    Text_End_Time->setText(e.end);
    Text_Place->setText(e.place);
    Combo_Course->setCurrentIndex(e.course.isEmpty() ? -1 : Combo_Course->findText(e.course, Qt::MatchExactly | Qt::MatchCaseSensitive));
    {
        const QSignalBlocker block(UpDown_Ext);
        UpDown_Ext->setValue(e.extension.value_or(0));
    }
    // The stored end already holds the stored extension: the next click moves it by one unit.
    Text_Ext->setText(e.extension ? QString::number(UpDown_Ext->value()) : QString());
    PreviousExtensionMinutes = qint16(UpDown_Ext->value());
    Check_Shimei->setChecked(e.nomination);
    Check_Cancel->setChecked(e.cancelled);
    for (int k = 0; k < 15; ++k) {
        const bool offered = e.offeredMask & m_module.BitOn[k];
        Check_Option[k]->setEnabled(offered);
        Check_Option[k]->setChecked(offered && (e.selectedMask & m_module.BitOn[k]));
    }
    SelectedOptionMask = e.selectedMask;
    enablePricedControls(*this, !e.cancelled, e.offeredMask, m_module.BitOn);
    Label_Pay->setText(FormatNumber(e.pay));
    Label_GirlPay->setText(FormatNumber(e.girlPay));
}

} // namespace rp
