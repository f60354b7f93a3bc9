#include "masters/Form_ShopData.h"

#include "data/Module1.h"

#include <QComboBox>
#include <QVBoxLayout>

namespace rp {

Form_ShopData::Form_ShopData(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_ShopData"));
    setWindowTitle(QStringLiteral("店データ入力"));
    Combo_Shop_Name = new QComboBox(this);
    Combo_Shop_Name->setObjectName(QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setEditable(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Combo_Shop_Name);
    m_module.addShopList(Combo_Shop_Name);
}

void Form_ShopData::showOptionRates() {}

} // namespace rp
