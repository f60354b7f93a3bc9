// NG pairs on the reception board: the customer's bars (NG登録), the marks on the status board while
// that customer is shown, and the question before a barred companion is picked or booked for him.
#include "data/Clock.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "data/SqlText.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"
#include "reception/NgDialog.h"
#include "reception/NgStore.h"

#include <QComboBox>

namespace rp {

namespace {

enum BoardColumn { ColName = 0, ColGenji = 1, ColCompanionId = 8 };

} // namespace

const QColor Main_Form::NgColour = QColor(200, 160, 230);

void Main_Form::Cmd_NG_Click()
{
    if (CurrentCustomerId == 0) {
        Notice(this, QStringLiteral("お客様を検索してから登録してください。"));
        return;
    }
    guarded([&] {
        const std::optional<CustomerRecord> customer = CustomerById(m_module.AppDatabase, CurrentCustomerId);
        if (!customer)
            return;
        NgDialog dialog(m_module, *customer, Tariff.SelectedShopID, BusinessDate(Clock::now()), this);
        dialog.exec();
        ShowNgMarks();
    });
}

void Main_Form::ShowNgMarks()
{
    m_ngBars = CurrentCustomerId != 0 && m_module.AppDatabase.isOpen() ? NgBarsOf(m_module.AppDatabase, CurrentCustomerId)
                                                                       : QVector<NgBar>();
    paintNgMarks();
}

void Main_Form::paintNgMarks()
{
    for (int r = 1; r <= BoardRowCount; ++r) {
        const std::optional<NgBar> bar =
            BarFor(m_ngBars, Tariff.SelectedShopID, SqlNumber(Grid_Girl->text(r, ColCompanionId)).toInt());
        for (const int c : {ColName, ColGenji}) {
            Grid_Girl->setCellBackground(r, c, bar ? NgColour : QColor());
            Grid_Girl->setCellToolTip(r, c, bar ? NgTip(*bar) : QString());
        }
    }
}

bool Main_Form::ConfirmNgPick(int r)
{
    const qint32 companionId = SqlNumber(Grid_Girl->text(r, ColCompanionId)).toInt();
    m_ngLetThrough = {0, 0};   // a new pick is asked again
    if (!ConfirmNgBooking(CurrentCustomerId, Tariff.SelectedShopID, companionId, Grid_Girl->text(r, ColName)))
        return false;
    m_ngLetThrough = {CurrentCustomerId, companionId};
    return true;
}

bool Main_Form::ConfirmNgBooking(qint32 customerId, qint32 shopId, qint32 companionId, const QString &companionName)
{
    if (customerId == 0 || m_ngLetThrough == std::pair<qint32, qint32>{customerId, companionId})
        return true;
    // Read now, not from the marks: the bars may have changed since the customer was shown.
    const std::optional<NgBar> bar = BarFor(NgBarsOf(m_module.AppDatabase, customerId), shopId, companionId);
    return !bar || AskOkCancel(this, NgQuestion(*bar, companionName));
}

} // namespace rp
