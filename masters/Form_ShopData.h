#pragma once

#include "app/ChildWindow.h"
#include "masters/ShopFieldChecks.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <array>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rp {

class Module1;

// The shop editor: every shop's tariff (four courses of six durations, fifteen options, extension,
// nomination, cancellation, the shop's rates and the warning time).
class Form_ShopData : public ChildWindow
{
    Q_OBJECT
public:
    explicit Form_ShopData(Module1 &module, QWidget *parent = nullptr);

    static constexpr int Courses = 4;
    static constexpr int RowsPerCourse = 6;
    static constexpr int CourseRows = Courses * RowsPerCourse;
    static constexpr int Options = 15;

    static QString ShopNamePrompt() { return QStringLiteral("店舗名を選択、または入力"); }
    // Whose share a rate box holds.
    static QString RateTip() { return QStringLiteral("店の取り分（％）です。コンパニオンには残りを支払います。"); }
    static QString OptionRateTip()
    {
        return QStringLiteral("このオプションの店の取り分（％）です。コンパニオンには残りを支払います。"
                              "空欄か０のときはオプションの料金割合を使います。");
    }

    // Start-up and the Cancel at exit make the fifteen per-option rate boxes and their labels visible.
    void showOptionRates();

    // Handlers, named after the control and the event.
    void Combo_Shop_Name_GotFocus();
    // False when the typed name was refused (told, focus back in the list).
    bool Combo_Shop_Name_LostFocus();
    void Combo_Shop_Name_Click(int position);   // the operator chose the shop at position from the list
    void Cmd_Regist_Click();
    void Cmd_Del_Click();
    void Cmd_OK_Click();
    void Cmd_Cancel_Click();
    // The lost-focus check of one entry box: false after a refusal (told, focus put back).
    bool CheckField(QLineEdit *box);
    // Every entry box's check again, in tab order: false at the first refusal (told, focus there).
    bool CheckAllFields();

    void ResetNewFlag();
    void ResetShopForm();
    void ClearTaggedFields();
    // Moves every companion's later shop slots down one place, so that slot p+1 keeps belonging to
    // the shop at list position p once the shop is gone. Alone it is all or nothing and reports its
    // own failure; inside another action it raises, so that action rolls back whole.
    void RemoveShopFromCompanions(qint32 shopId);

    // The list entry the combo box shows, or -1 when its text is not a list entry (typed or prompt).
    int selectedPosition() const;
    // The rule a box is checked by; nullopt for anything that is not one of the entry boxes.
    std::optional<ShopField> fieldOf(const QLineEdit *box) const;

    bool IsNewShop = false;
    QString PromptText;
    QString FocusText;

    // Controls.
    QLabel *Label_Shop_Name = nullptr;
    QComboBox *Combo_Shop_Name = nullptr;

    std::array<QGroupBox *, Courses> Frame1{};
    std::array<QLineEdit *, Courses> Text_Course{};
    std::array<QLineEdit *, CourseRows> Text_Minute{};
    std::array<QLineEdit *, CourseRows> Text_Money{};
    std::array<QLabel *, CourseRows> Label_Minute_Unit{};
    std::array<QLabel *, CourseRows> Label_Money_Unit{};

    QGroupBox *Frame2 = nullptr;
    std::array<QLabel *, Options> Label_Opt_No{};
    std::array<QLineEdit *, Options> Text_Opt_Name{};
    std::array<QLineEdit *, Options> Text_Opt_Money{};
    std::array<QLabel *, Options> Label_Opt_Money_Unit{};
    std::array<QLineEdit *, Options> Text_OneOpt_Rate{};
    std::array<QLabel *, Options> Label_OneOpt_Rate_Unit{};

    QLabel *Label_Ext_Minute = nullptr;
    QLineEdit *Text_Ext_Minute = nullptr;
    QLabel *Label_Ext_Minute_Unit = nullptr;
    QLabel *Label_Ext_Money = nullptr;
    QLineEdit *Text_Ext_Money = nullptr;
    QLabel *Label_Ext_Money_Unit = nullptr;
    QLabel *Label_Shimei = nullptr;
    QLineEdit *Text_Shimei_Money = nullptr;
    QLabel *Label_Shimei_Unit = nullptr;
    QLabel *Label_Can = nullptr;
    QLineEdit *Text_Can_Money = nullptr;
    QLabel *Label_Can_Unit = nullptr;
    QLineEdit *Text_WarningTime = nullptr;
    QLabel *Label_WarningTime = nullptr;

    QGroupBox *Frame3 = nullptr;
    QLineEdit *Text_C1_Rate = nullptr;
    QLineEdit *Text_C2_Rate = nullptr;
    QLineEdit *Text_C3_Rate = nullptr;
    QLineEdit *Text_C4_Rate = nullptr;
    QLineEdit *Text_Opt_Rate = nullptr;
    QLineEdit *Text_Ext_Rate = nullptr;
    QLineEdit *Text_Shimei_Rate = nullptr;
    QLineEdit *Text_Can_Rate = nullptr;
    std::array<QLabel *, 8> Label_Rate{};        // コース１..コース４, オプション, 延長, 指名, キャンセル
    std::array<QLabel *, 8> Label_Rate_Unit{};

    QPushButton *Cmd_Regist = nullptr;
    QPushButton *Cmd_Del = nullptr;
    QPushButton *Cmd_OK = nullptr;
    QPushButton *Cmd_Cancel = nullptr;

    // The course rate boxes by course index.
    std::array<QLineEdit *, Courses> courseRates() const
    {
        return {Text_C1_Rate, Text_C2_Rate, Text_C3_Rate, Text_C4_Rate};
    }

protected:
    void onShowing() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLayout();
    QLineEdit *entryBox(const QString &name, ShopField field, const QString &column);
    QLabel *label(const QString &name, const QString &text);

    // Registration checks in the order the operator is told about them; the first refusal's message.
    QString registrationRefusal() const;
    void insertShop(const QString &name);
    void updateShop(int position);
    // Column names of 店舗 in the order of the insert and of the update; values for them.
    static QStringList updateColumns();
    QVariantList valuesFor(const QStringList &columns) const;
    void loadShop(qint32 shopId);
    void removeShopFromCompanions(qint32 shopId);

    Module1 &m_module;
    QHash<const QLineEdit *, ShopField> m_fields;
    QHash<QString, QLineEdit *> m_byColumn;
    QVector<QLineEdit *> m_tabOrder;   // the entry boxes in the order the operator tabs through them
    void forgetRefusalAfterThisClick();
    bool m_refusedOnWayToRegist = false;   // a box refused as the focus went to 登録: already told
    bool m_checking = false;   // a check's message is up: focus moves it causes are not checks
};

} // namespace rp
