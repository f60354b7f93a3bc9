#include "masters/Form_GirlData.h"

#include "data/Module1.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace rp {

Form_GirlData::Form_GirlData(Module1 &module, QWidget *parent) : ChildWindow(parent), m_module(module)
{
    setObjectName(QStringLiteral("Form_GirlData"));
    setWindowTitle(QStringLiteral("コンパニオン　データ入力"));
    auto *layout = new QFormLayout(this);
    Combo_Genji = new QComboBox(this);
    Combo_Genji->setObjectName(QStringLiteral("Combo_Genji"));
    Combo_Genji->setEditable(true);
    layout->addRow(QStringLiteral("源氏名"), Combo_Genji);
    QVector<QLabel *> labels;
    QVector<QLineEdit *> names;
    for (int i = 0; i < 5; ++i) {
        Label_Shop[i] = new QLabel(this);
        Label_Shop[i]->setObjectName(QStringLiteral("Label_Shop_%1").arg(i));
        Text_SName[i] = new QLineEdit(this);
        Text_SName[i]->setObjectName(QStringLiteral("Text_SName_%1").arg(i));
        layout->addRow(Label_Shop[i], Text_SName[i]);
        labels << Label_Shop[i];
        names << Text_SName[i];
    }
    Combo_Shop_Name = new QComboBox(this);
    Combo_Shop_Name->setObjectName(QStringLiteral("Combo_Shop_Name"));
    Combo_Shop_Name->setPlaceholderText(QStringLiteral("店舗を選択してください"));
    layout->addRow(Combo_Shop_Name);
    m_module.addShopList(Combo_Shop_Name);
    m_module.addCompanionList(Combo_Genji);
    m_module.setCompanionShopRows(labels, names);
}

} // namespace rp
