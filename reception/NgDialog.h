#pragma once

#include "reception/BookingStore.h"
#include "reception/NgRules.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace rp {

class Database;
class Module1;

// NG登録: bars one customer from a companion or from a whole shop, and lists the customer's bars with
// a way to lift one. Opened from the customer area for the customer shown.
class NgDialog : public QDialog
{
    Q_OBJECT
public:
    NgDialog(Module1 &module, const CustomerRecord &customer, qint32 shownShopId, const QDate &today,
             QWidget *parent = nullptr);

    QComboBox *Combo_NgShop = nullptr;
    QComboBox *Combo_NgGirl = nullptr;     // "店舗全体", then every listed companion by 源氏名
    QLineEdit *Text_NgReason = nullptr;
    QDateEdit *Date_Ng = nullptr;
    QPushButton *Cmd_NgAdd = nullptr;
    QTreeWidget *List_Ng = nullptr;        // the customer's shown bars, newest first
    QPushButton *Cmd_NgLift = nullptr;
    QPushButton *Cmd_NgClose = nullptr;

    void Cmd_NgAdd_Click();
    void Cmd_NgLift_Click();
    // The bars as listed, by line.
    const QVector<NgBar> &listed() const { return m_listed; }

private:
    void refresh();

    Module1 &m_module;
    CustomerRecord m_customer;
    QVector<NgBar> m_listed;
};

} // namespace rp
