// The reception board by keyboard: Enter in TEL searches, Tab runs through the entry area in the order
// the operator fills it, the arrows set the extension, and F12 or Ctrl+Enter registers.
#include "reception/Main_Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>

#include "reception/Grid.h"

namespace rp {

namespace {

// The extension box is read-only (the spinner sets it); with the focus in it, Up and Down step the
// spinner as its arrows would.
class ExtensionKeys : public QObject
{
public:
    ExtensionKeys(QSpinBox *spinner, QObject *parent) : QObject(parent), m_spinner(spinner) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down)
            return false;
        if (m_spinner->isEnabled())
            m_spinner->stepBy(key == Qt::Key_Up ? 1 : -1);
        return true;
    }

private:
    QSpinBox *m_spinner;
};

} // namespace

void Main_Form::wireKeys()
{
    // Enter in TEL is 検 索, after the same check that leaving the box makes.
    connect(Text_Tel, &QLineEdit::returnPressed, this, [this] {
        if (CheckCustomerField(Text_Tel))
            Cmd_Search_Click();
    });
    connect(Text_Tel, &QLineEdit::textEdited, this, [this] { Text_Tel_Change(); });
    Text_Ext->installEventFilter(new ExtensionKeys(UpDown_Ext, this));

    // The board from top left to bottom right; the entry area in the order the booking is taken:
    // times, place, course, extension, nomination, cancellation, options, and 登録 last.
    QList<QWidget *> order{Combo_Shop_Name, Cmd_ShopData, Cmd_GirlData,  Cmd_Sales,  Grid_Girl,
                           Text_Tel,        Cmd_Search,   Combo_Name,    Combo_Rank, Text_Note,
                           Cmd_UserUpdate,  Grid_Rireki,  Text_Start_Time, Text_End_Time, Text_Place,
                           Combo_Course,    Text_Ext,     Check_Shimei,  Check_Cancel};
    for (QCheckBox *box : Check_Option)
        order << box;
    order << Cmd_Regist;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (const QKeySequence &keys : {QKeySequence(Qt::Key_F12), QKeySequence(Qt::CTRL | Qt::Key_Return),
                                     QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &Main_Form::RegisterByKey);
    }
}

void Main_Form::RegisterByKey()
{
    if (!Cmd_Regist->isEnabled() || !Cmd_Regist->isVisible())
        return;
    // The focus goes to 登録 as a click takes it there: the box left is checked, and after a refusal
    // the focus is back in that box and nothing is registered.
    if (focusWidget() != Cmd_Regist) {
        Cmd_Regist->setFocus(Qt::ShortcutFocusReason);
        if (focusWidget() != Cmd_Regist)
            return;
    }
    Cmd_Regist->click();
}

} // namespace rp
