#include "sales/Form_Sales.h"

#include "data/Module1.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rp {

Form_Sales::Form_Sales(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_Sales"));
    setWindowTitle(QStringLiteral("売上情報"));
    auto *layout = new QVBoxLayout(this);

    auto *shopFrame = new QGroupBox(QStringLiteral("店　舗　毎"), this);
    auto *shopLayout = new QHBoxLayout(shopFrame);
    Combo_Shop_Name = new QComboBox(shopFrame);
    Combo_Shop_Name->setObjectName(QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setEditable(true);
    Combo_Shop_Name->lineEdit()->setPlaceholderText(QStringLiteral("店舗名を選択してください"));
    shopLayout->addWidget(Combo_Shop_Name);
    layout->addWidget(shopFrame);

    Frame5 = new QGroupBox(QStringLiteral("コンパニオン"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setVisible(false);
    auto *girlLayout = new QHBoxLayout(Frame5);
    Combo_GirlName = new QComboBox(Frame5);
    Combo_GirlName->setObjectName(QStringLiteral("Combo_GirlName"));
    Combo_GirlName->setEditable(true);
    Combo_GirlName->lineEdit()->setPlaceholderText(QStringLiteral("源氏名を選択"));
    Combo_SName_Girl = new QComboBox(Frame5);
    Combo_SName_Girl->setObjectName(QStringLiteral("Combo_SName_Girl"));
    Combo_SName_Girl->setEditable(true);
    Combo_SName_Girl->lineEdit()->setPlaceholderText(QStringLiteral("店舗名を選択してください"));
    girlLayout->addWidget(Combo_GirlName);
    girlLayout->addWidget(Combo_SName_Girl);
    layout->addWidget(Frame5);

    Cmd_Quit = new QPushButton(QStringLiteral("Ｏ　Ｋ"), this);
    Cmd_Quit->setObjectName(QStringLiteral("Cmd_Quit"));
    connect(Cmd_Quit, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(Cmd_Quit, 0, Qt::AlignRight);

    m_module.addShopList(Combo_Shop_Name);
    m_module.addShopList(Combo_SName_Girl);
    m_module.addCompanionList(Combo_GirlName);
}

void Form_Sales::showCompanionFrame() { Frame5->setVisible(true); }

} // namespace rp
