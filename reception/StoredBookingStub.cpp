// Shows a stored booking in the entry area as it was registered, without pricing it again.
#include "data/Module1.h"
#include "reception/BookingEntry.h"
#include "reception/Main_Form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace rp {

void Main_Form::ShowStoredBooking(const StoredEntry &e)
{
    Label_Shop_Name->setText(e.shopName);
    Label_Girl_Name->setText(e.companionName);
    Label_GirlID->setText(e.companionId);
    Label_Date->setText(e.date);
    Text_Start_Time->setText(e.start);
    LoadedStartTime = e.start;
    StartTimeAtFocus = e.start;
    Text_Place->setText(e.place);
    Combo_Course->setCurrentIndex(Combo_Course->findText(e.course));
    Text_End_Time->setText(e.end);
    if (e.extension) {
        const QSignalBlocker block(UpDown_Ext);
        UpDown_Ext->setValue(*e.extension);
        Text_Ext->setText(QString::number(*e.extension));
        PreviousExtensionMinutes = qint16(*e.extension);
    }
    Check_Shimei->setChecked(e.nomination);
    Check_Cancel->setChecked(e.cancelled);
    for (int k = 0; k < 15; ++k) {
        const bool has = e.offeredMask & m_module.BitOn[k];
        Check_Option[k]->setEnabled(has);
        if (has)
            Check_Option[k]->setChecked(e.selectedMask & m_module.BitOn[k]);
    }
    SelectedOptionMask = e.selectedMask;
    Label_Pay->setText(FormatNumber(e.pay));
    Label_GirlPay->setText(FormatNumber(e.girlPay));
}

} // namespace rp
