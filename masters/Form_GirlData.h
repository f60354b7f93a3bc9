#pragma once

#include "app/ChildWindow.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace rp {

class Module1;

// The companion editor: the companion register.
class Form_GirlData : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_GirlData(Module1 &module, QWidget *parent = nullptr);

    QComboBox *Combo_Genji = nullptr;
    QComboBox *Combo_Shop_Name = nullptr;
    std::array<QLabel *, 5> Label_Shop{};
    std::array<QLineEdit *, 5> Text_SName{};

private:
    Module1 &m_module;
};

} // namespace rp
