#include "reception/NgDialog.h"

#include "data/AppError.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/NgStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace rp {

namespace {

template<typename W>
W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}

} // namespace

NgDialog::NgDialog(Module1 &module, const CustomerRecord &customer, qint32 shownShopId, const QDate &today,
                   QWidget *parent)
    : QDialog(parent), m_module(module), m_customer(customer)
{
    setObjectName(QStringLiteral("Form_NG"));
    setWindowTitle(QStringLiteral("NG登録"));
    auto *layout = new QVBoxLayout(this);
    auto *who = named(new QLabel(QStringLiteral("お客様：%1（%2）").arg(customer.name, customer.tel), this),
                      QStringLiteral("Label_NgCustomer"));
    who->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
    layout->addWidget(who);

    auto *form = new QFormLayout;
    Combo_NgShop = named(new QComboBox(this), QStringLiteral("Combo_NgShop"));
    Combo_NgShop->addItems(module.ShopNames.mid(0, module.ShopCount));
    Combo_NgShop->setCurrentIndex(std::max(0, module.shopPosition(shownShopId)));
    form->addRow(QStringLiteral("店　舗"), Combo_NgShop);
    Combo_NgGirl = named(new QComboBox(this), QStringLiteral("Combo_NgGirl"));
    Combo_NgGirl->addItem(WholeShopText(), QVariant());
    for (int i = 0; i < module.CompanionCount; ++i)
        Combo_NgGirl->addItem(module.CompanionNames.value(i), module.CompanionIDs[i]);
    form->addRow(QStringLiteral("コンパニオン"), Combo_NgGirl);
    Text_NgReason = named(new QLineEdit(this), QStringLiteral("Text_NgReason"));
    Text_NgReason->setMaxLength(NgReasonBytes);
    Text_NgReason->setPlaceholderText(QStringLiteral("全角２５文字以内"));
    form->addRow(QStringLiteral("理　由"), Text_NgReason);
    Date_Ng = named(new QDateEdit(today, this), QStringLiteral("Date_Ng"));
    Date_Ng->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    Date_Ng->setCalendarPopup(true);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(Date_Ng);
    dateRow->addStretch();
    Cmd_NgAdd = named(new QPushButton(QStringLiteral("登　録"), this), QStringLiteral("Cmd_NgAdd"));
    dateRow->addWidget(Cmd_NgAdd);
    form->addRow(QStringLiteral("登録日"), dateRow);
    layout->addLayout(form);

    List_Ng = named(new QTreeWidget(this), QStringLiteral("List_Ng"));
    List_Ng->setRootIsDecorated(false);
    List_Ng->setAllColumnsShowFocus(true);
    List_Ng->setHeaderLabels({QStringLiteral("店舗"), QStringLiteral("コンパニオン"), QStringLiteral("理由"),
                              QStringLiteral("登録日")});
    List_Ng->setMinimumSize(520, 160);
    layout->addWidget(List_Ng, 1);

    auto *buttons = new QHBoxLayout;
    Cmd_NgLift = named(new QPushButton(QStringLiteral("解　除"), this), QStringLiteral("Cmd_NgLift"));
    buttons->addWidget(Cmd_NgLift);
    buttons->addStretch();
    Cmd_NgClose = named(new QPushButton(QStringLiteral("閉じる"), this), QStringLiteral("Cmd_NgClose"));
    buttons->addWidget(Cmd_NgClose);
    layout->addLayout(buttons);

    connect(Cmd_NgAdd, &QPushButton::clicked, this, &NgDialog::Cmd_NgAdd_Click);
    connect(Cmd_NgLift, &QPushButton::clicked, this, &NgDialog::Cmd_NgLift_Click);
    connect(Cmd_NgClose, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void NgDialog::refresh()
{
    m_listed = ShownBars(NgBarsOf(m_module.AppDatabase, m_customer.id));
    List_Ng->clear();
    for (const NgBar &bar : m_listed)
        List_Ng->addTopLevelItem(new QTreeWidgetItem(
            QStringList{bar.shopName, NgTarget(bar), bar.reason, bar.date.toString(QStringLiteral("yyyy/MM/dd"))}));
    for (int c = 0; c < List_Ng->columnCount(); ++c)
        List_Ng->resizeColumnToContents(c);
    Cmd_NgLift->setEnabled(!m_listed.isEmpty());
    if (!m_listed.isEmpty())
        List_Ng->setCurrentItem(List_Ng->topLevelItem(0));
}

void NgDialog::Cmd_NgAdd_Click()
{
    const int p = Combo_NgShop->currentIndex();
    if (p < 0 || p >= m_module.ShopCount) {
        Notice(this, QStringLiteral("店舗を選択してください。"));
        Combo_NgShop->setFocus();
        return;
    }
    const FieldCheck reason = CheckNgReason(Text_NgReason->text());
    if (!reason.ok) {
        Notice(this, reason.message);
        Text_NgReason->setFocus();
        return;
    }
    NgBar bar;
    bar.customerId = m_customer.id;
    bar.shopId = m_module.ShopIDs[p];
    const QVariant girl = Combo_NgGirl->currentData();
    if (!girl.isNull())
        bar.companionId = girl.toInt();
    bar.reason = Text_NgReason->text().trimmed();
    bar.date = Date_Ng->date();
    try {
        AddNgBar(m_module.AppDatabase, bar);
        Text_NgReason->clear();
        refresh();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

void NgDialog::Cmd_NgLift_Click()
{
    const int line = List_Ng->indexOfTopLevelItem(List_Ng->currentItem());
    if (line < 0 || line >= m_listed.size())
        return;
    const NgBar bar = m_listed[line];
    if (!AskOkCancel(this, QStringLiteral("このNG登録を解除します。\n%1 / %2：%3").arg(bar.shopName, NgTarget(bar), bar.reason)))
        return;
    try {
        LiftNgBar(m_module.AppDatabase, bar.id);
        refresh();
    } catch (const AppError &error) {
        ShowCommonError(this, error);
    }
}

} // namespace rp
