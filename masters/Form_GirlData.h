#pragma once

#include "app/ChildWindow.h"
#include "data/Module1.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rp {

class AppError;

// The companion editor: the companion register. A companion is found by her 源氏名; a name that is
// not in the list starts a new one. Her name and options at each listed shop sit in the slot of
// that shop's list position.
class Form_GirlData : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_GirlData(Module1 &module, QWidget *parent = nullptr);

    QComboBox *Combo_Genji = nullptr;
    std::array<QLabel *, MaxShops> Label_Shop{};
    std::array<QLineEdit *, MaxShops> Text_SName{};
    QLineEdit *Text_Old = nullptr;
    QLineEdit *Text_Tall = nullptr;
    QLineEdit *Text_Bust = nullptr;
    QLineEdit *Text_Cup = nullptr;
    QLineEdit *Text_Waist = nullptr;
    QLineEdit *Text_Hip = nullptr;

    QGroupBox *Frame2 = nullptr;
    QComboBox *Combo_Shop_Name = nullptr;
    std::array<QCheckBox *, 15> Check_Option{};
    QPushButton *Cmd_Print = nullptr;

    QGroupBox *Frame3 = nullptr;
    QLineEdit *Text_C1_Rate = nullptr;
    QLineEdit *Text_C2_Rate = nullptr;
    QLineEdit *Text_C3_Rate = nullptr;
    QLineEdit *Text_C4_Rate = nullptr;
    QLineEdit *Text_Opt_Rate = nullptr;
    QLineEdit *Text_Ext_Rate = nullptr;
    QLineEdit *Text_Shimei_Rate = nullptr;
    QLineEdit *Text_Can_Rate = nullptr;

    QPushButton *Cmd_Regist = nullptr;
    QPushButton *Cmd_Del = nullptr;
    QPushButton *Cmd_OK = nullptr;
    QPushButton *Cmd_Cancel = nullptr;

    // Window state.
    bool IsNewCompanion = false;
    std::array<qint16, MaxShops> OptionBits{};
    QString PromptText;
    QString FocusText;

    void ResetCompanionState();
    void ClearOptionBits();
    void ResetCompanionForm();
    void ClearCompanionFields();

    // The handlers, named after their control and event.
    void Combo_Genji_GotFocus();
    // False when the name was refused (the focus is back in the list).
    bool Combo_Genji_LostFocus();
    void Combo_Genji_Click(int position);
    void Combo_Shop_Name_Click(int position);
    void Check_Option_Click(int index);
    void Cmd_Regist_Click();
    void Cmd_Del_Click();
    void Cmd_OK_Click();
    void Cmd_Cancel_Click();
    // Prints the option sheet of the shop chosen in the option frame (the register as stored).
    void Cmd_Print_Click();

    // The lost-focus check of one entry box; false when refused (told, focus back in the box).
    bool CheckField(QLineEdit *box);
    // Every entry box's check again, in screen order: false at the first refusal (told, focus there).
    bool CheckAllFields();
    // The register changed since the window was shown: the board shows it again when the window hides.
    bool registerChanged() const { return m_changed; }

    // Position of the companion whose name the list shows, or -1 while a typed name stands there.
    int selectedCompanion() const;

protected:
    void onShowing() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QLineEdit *entryBox(const QString &name, int width);
    void registerNew(const QString &genji);
    void registerChange(const QString &genji, int position);
    QVariantList measurementValues() const;
    QVariantList surchargeValues() const;
    void selectShopForOptions(int position);

    Module1 &m_module;
    bool m_checking = false;
    bool m_leaving = false;
    bool m_changed = false;
    void forgetRefusalAfterThisClick();
    bool m_refusedOnWayToRegist = false;   // a box refused as the focus went to 登録: already told
    void leave();
};

} // namespace rp
