#pragma once

#include "app/ChildWindow.h"

class QComboBox;

namespace rp {

class Module1;

// The shop editor: shops and their tariffs.
class Form_ShopData : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_ShopData(Module1 &module, QWidget *parent = nullptr);

    // Start-up and the Cancel at exit make the fifteen per-option rate boxes and their labels visible.
    void showOptionRates();

    QComboBox *Combo_Shop_Name = nullptr;

private:
    Module1 &m_module;
};

} // namespace rp
