#pragma once

#include "app/ChildWindow.h"

class QComboBox;
class QGroupBox;
class QPushButton;

namespace rp {

class Module1;

// The sales window. Its lists follow the shop and companion registers from start-up on.
class Form_Sales : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_Sales(Module1 &module, QWidget *parent = nullptr);

    void showCompanionFrame();   // start-up makes the companion frame visible

    QComboBox *Combo_Shop_Name = nullptr;
    QComboBox *Combo_SName_Girl = nullptr;
    QComboBox *Combo_GirlName = nullptr;
    QGroupBox *Frame5 = nullptr;
    QPushButton *Cmd_Quit = nullptr;

private:
    Module1 &m_module;
};

} // namespace rp
