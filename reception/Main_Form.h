#pragma once

#include "data/ChangeFeed.h"
#include "reception/BookingEntry.h"
#include "reception/BookingStore.h"
#include "reception/NgRules.h"
#include "reception/Pricing.h"
#include "reception/ShopTariff.h"
#include "reception/StatusStore.h"

#include <QColor>
#include <QMainWindow>
#include <QSqlRecord>
#include <QVector>
#include <array>
#include <functional>
#include <initializer_list>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace rp {

class Application;
class Form_NightClose;
class Grid;
class Module1;

// The reception board: shop selection, the companion status board, the customer area and the
// booking entry. It lives for the whole run and is where the program is closed.
class Main_Form : public QMainWindow
{
    Q_OBJECT
public:
    explicit Main_Form(Application &app, QWidget *parent = nullptr);
    ~Main_Form() override;

    static const QColor WarningColour;   // red 240, green 90, blue 40
    static constexpr int TimerIntervalMs = 10000;

    // Grid preparation of start-up: column types, formats, drop-down list, hidden columns.
    void PrepareGrids();
    // Clears the booking entry area.
    void ResetBookingEntry();

    // Shop selection: saves the board shown until now, shows shop p's board and loads its tariff.
    // p = -1 empties the board (the shop list has become empty).
    void SelectShop(int p);
    // Writes every filled row of the status grid back to 現在状況 for the shop shown.
    void WriteBackBoard();
    // Writes one board row to 現在状況 (duty, busy, other shop, end, place, customer, options).
    void WriteBackRow(int row);
    // One tick of the end-time warning.
    void TimerWarningTick();
    // The warning as last built: "！終了予定！" and one line per shop concerned; empty when none.
    QString warningText() const { return m_warningText; }

    // State the board holds for the booking being entered.
    ShopTariff Tariff;                     // ShopTariff
    int BoardRowCount = 0;
    QVector<bool> RowOtherShop;
    int SelectedBoardRow = 0;
    qint16 SelectedOptionMask = 0;
    std::array<qint16, 8> CompanionSurcharges{};   // C1..C4, option, extension, nomination, cancellation
    QString LoadedStartTime;
    QString StartTimeAtFocus;
    qint16 PreviousExtensionMinutes = 0;
    qint32 CurrentCustomerId = 0;

    int shownShopPosition() const { return m_shownPosition; }   // -1 before the first selection
    QTimer *warningTimer() const { return Timer_Warning; }
    // The night close window, made on its first opening and kept, hidden, like the other child windows.
    Form_NightClose *nightCloseForm();

    // Controls, named as the operator's manual names them.
    QComboBox *Combo_Shop_Name = nullptr;
    QPushButton *Cmd_ShopData = nullptr;
    QPushButton *Cmd_GirlData = nullptr;
    QPushButton *Cmd_Sales = nullptr;
    QPushButton *Cmd_NightClose = nullptr;   // "精算"
    Grid *Grid_Girl = nullptr;
    QPlainTextEdit *Text_Warning = nullptr;

    QLineEdit *Text_Tel = nullptr;
    QComboBox *Combo_Name = nullptr;
    QComboBox *Combo_Rank = nullptr;
    QLineEdit *Text_Note = nullptr;
    QPushButton *Cmd_Search = nullptr;
    QPushButton *Cmd_UserUpdate = nullptr;
    QPushButton *Cmd_NG = nullptr;         // "NG登録": the customer's bars
    QLabel *Label_Total = nullptr;
    QLabel *Label_NewCaller = nullptr;    // shown after a search finds no customer for the number
    Grid *Grid_Rireki = nullptr;

    QGroupBox *Frame_Entry = nullptr;      // "今回の情報"
    QLabel *Label_Shop_Name = nullptr;
    QLabel *Label_Girl_Name = nullptr;
    QLabel *Label_GirlID = nullptr;
    QLabel *Label_Date = nullptr;
    QLineEdit *Text_Start_Time = nullptr;
    QLineEdit *Text_End_Time = nullptr;
    QLineEdit *Text_Place = nullptr;
    QComboBox *Combo_Course = nullptr;
    QLineEdit *Text_Ext = nullptr;
    QSpinBox *UpDown_Ext = nullptr;
    QCheckBox *Check_Shimei = nullptr;
    QCheckBox *Check_Cancel = nullptr;
    std::array<QCheckBox *, 15> Check_Option{};
    QLabel *Label_Pay = nullptr;
    QLabel *Label_GirlPay = nullptr;
    QPushButton *Cmd_Regist = nullptr;

    QAction *mnuExit = nullptr;
    QAction *mnuBackup = nullptr;
    QAction *mnuRestore = nullptr;
    QAction *mnuCompact = nullptr;
    QAction *mnuDel = nullptr;
    QAction *mnuAbout = nullptr;
    QMenu *mnuRireki = nullptr;
    QAction *mnuRDel = nullptr;
    QTimer *Timer_Warning = nullptr;

    // --- other PCs (PostgreSQL) ---
    // True while the other PCs' notices wait to be read (a test waits until it turns false).
    bool pendingRefresh() const;
    // Reads what the notices gathered so far named; normally run by a short timer after the first one.
    void RefreshFromNotices();
    // The pause that gathers notices into one read.
    static constexpr int RefreshDelayMs = 30;
    // Shown above the board while the server is away.
    QLabel *Label_Server = nullptr;

    // --- integrity ---
    // Shows the shown shop's board again from 現在状況, without writing the grid back: after a failed
    // write, and after an editor changed the register. Rebuilds the warning tables of every shop.
    void ReloadShownShop();

    static QString CoursePrompt() { return QStringLiteral("コースを選択してください"); }
    static QString NewCallerText() { return QStringLiteral("新規のお客様です（この番号は未登録）"); }
    static QString RegistTip() { return QStringLiteral("予約を登録します（F12 または Ctrl+Enter）"); }

    // Shows the shop this PC's board showed last, if it is still listed.
    void ShowRememberedShop();
    // F12 or Ctrl+Enter: 登録 as a click does it, the focus leaving its box first (and its check).
    void RegisterByKey();
    // The number in TEL was changed by the operator: the caller shown until now is no longer it.
    void Text_Tel_Change();
    // The customer shown when the operator began to change the number: 顧客データ修正 still corrects
    // her number, although the area no longer shows her.
    std::optional<CustomerRecord> m_numberChangeOf;
    static QString ShopPrompt() { return QStringLiteral("店舗名を選択してください。"); }

    // --- booking entry ---
    // Prices the booking from the controls as they stand and shows total and pay.
    void RecalculateCharges();
    // The priced choices as the controls stand (course, options she has and ticked, extension, nomination).
    BookingChoices CurrentChoices() const;
    // Shows a registered booking as it was stored: stored amounts, stored end time, no re-pricing;
    // her surcharges are read as when a booking starts, so the next priced change prices her terms.
    // Every control of the area is set, so it may follow the customer load's reset directly.
    void ShowStoredBooking(const StoredEntry &e);
    // The start time the end time was last computed from: the last accepted start, never a refused one.
    QString ValidStartTime;

    // --- maintenance ---
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuCompact_Click();
    void mnuDel_Click();

    // --- customer area, registration and recall ---
    void Cmd_Search_Click();
    void Combo_Name_Click(int index);
    // Shows the customer of the name and number fields (CurrentCustomerId wins among namesakes).
    void LoadCustomer();
    // Empties the customer area: no customer, no history (after the file was replaced).
    void ForgetCustomer();
    void Cmd_UserUpdate_Click();
    // The lost-focus check of Text_Tel, Combo_Name, Text_Note or Text_Place: false after a refusal.
    bool CheckCustomerField(QWidget *box);
    // Runs the lost-focus check of each box again, in the order given (the screen's), and stops at the
    // first refusal: told, focus in that box. What a box refused never reaches the file by a click.
    bool RecheckBoxes(std::initializer_list<QWidget *> boxes);
    void mnuRDel_Click();
    // Cmd_Regist.
    void RegisterBooking();

    // --- NG pairs ---
    static const QColor NgColour;          // the name cells of a companion barred for the customer shown
    void Cmd_NG_Click();
    // Reads the bars of the customer shown (none when none is) and marks the barred companions' rows.
    void ShowNgMarks();
    // Board row r's companion is being picked for the customer shown: false when she is barred for him
    // and the operator, told the reason, cancels.
    bool ConfirmNgPick(int r);
    // The same question before a booking of that companion at that shop is registered for the customer
    // (0: a new customer, never barred); not asked again for a pair the operator let through on picking.
    bool ConfirmNgBooking(qint32 customerId, qint32 shopId, qint32 companionId, const QString &companionName);
    // The customer's bars as last read, the marks on the board drawn from them.
    const QVector<NgBar> &ngBars() const { return m_ngBars; }
    // A click on the name of board row r: her running booking back into the entry area.
    void RecallBooking(int r);
    // The key of every history line shown, by grid row - 1.
    QVector<HistoryKey> HistoryKeys;

signals:
    // The board has read what the other PCs' notices named.
    void refreshedFromNotices();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void buildMenus();
    void wireBoard();

    // Board handlers.
    void Grid_Girl_BeforeEdit(int row, int col, bool &cancel);
    void Grid_Girl_AfterEdit(int row, int col);
    void Grid_Girl_Click();
    void Cmd_ShopData_Click();
    void Cmd_GirlData_Click();
    void Cmd_Sales_Click();
    void Cmd_NightClose_Click();
    void Combo_Shop_Name_Click(int index);

    // Status-board steps shared by end of duty, end of booking and the busy toggle.
    void StartBooking(int row);
    void EndBooking(int row);
    void LoadBoardRows(int p);
    // Board row i of shop p from its 現在状況 row; keepRunningEnd: an unchanged end keeps its count.
    void FillBoardRow(int p, int i, const QSqlRecord &row, const QTime &now, bool keepRunningEnd);
    void LoadTariff(qint32 shopId);
    void LoadSurcharges(const QString &companionId);
    // Runs an operator action; a store failure is reported with the common error box, a change made
    // meanwhile by another PC with its own message. Either way the board shows the database again.
    void guarded(const std::function<void()> &body);

    // --- several PCs ---
    // What each board row held in 現在状況 when this PC last read or wrote it, and what the grid showed
    // then: a row this PC did not change is never written back, and one changed meanwhile by another PC
    // is never written over.
    QVector<BoardRowState> m_rowsRead, m_rowsShown;
    BoardRowState gridRowState(int r) const;
    // After grid row r was filled from its 現在状況 row (on a shared database; whatever fills a row
    // from the database calls it).
    void noteRowRead(int r, const Row &row);
    // After row r was written: the database holds what the grid shows.
    void rememberRow(int r);
    // On a server: locks her rows for the rest of the transaction and throws AppError::ChangedElsewhere
    // when they no longer hold what the board read. Nothing on SQLite.
    void claimRow(int r, BoardAction action);
    // Every listed shop but the one shown.
    QVector<qint32> otherShopIds() const;
    // Writes row r as the grid shows it, claimed first on a server.
    void changeRow(int r);

    // --- customer area, registration and recall ---
    void wireCustomerArea();
    void wireKeys();
    void searchTel(qint32 preferId);
    // The caller chosen among those whose number ends with the typed digits; none when there are none,
    // when the digits are too few, or when the operator cancels.
    std::optional<CallerMatch> chooseByTail(const QString &typed);
    // Marks the board rows from m_ngBars (no store read).
    void paintNgMarks();
    QVector<NgBar> m_ngBars;
    std::pair<qint32, qint32> m_ngLetThrough{0, 0};   // (customer, companion) the operator went on with
    void showHistory(const CustomerHistory &history);
    void clearHistory();
    bool m_checkingField = false;
    QObject *m_customerWatch = nullptr;   // the boxes' focus watches, removed before the board goes
    QObject *m_entryWatch = nullptr;

    Application &m_app;
    Module1 &m_module;
    int m_shownPosition = -1;
    QString m_warningText;

    // --- booking entry ---
    void wireEntry();
    void Check_Cancel_Click();
    void Check_Option_Click(int index);
    void Check_Shimei_Click();
    void Combo_Course_Click();
    void UpDown_Ext_Change();
    void Text_Start_Time_GotFocus();
    // False when the time was refused (told, focus back in the box).
    bool Text_Start_Time_LostFocus();
    bool Text_End_Time_LostFocus();
    // Refuses a time box's text that is not a time (told, focus back), without what leaving it does.
    bool CheckTimeBox(QLineEdit *box);
    // The companion's option flags at this shop (column 10 of the picked board row).
    qint16 OfferedOptionMask() const;
    bool m_checkingTime = false;   // a time message is up: the focus moves it causes are not leaves

    Form_NightClose *m_nightClose = nullptr;

    // --- other PCs ---
    void wireChangeFeed();
    void noteChange(const ChangeNotice &notice);
    void scheduleRefresh(int ms);
    bool canRefreshNow() const;
    bool childWindowOpen() const;
    bool entryInUse() const;
    void refreshShopList();
    void refreshShownRows();
    void refreshShownCustomer();
    PendingChanges m_pending;
    QTimer *m_refreshTimer = nullptr;
    bool m_tariffStale = false;
    std::optional<CustomerRecord> m_loadedCustomer;   // as LoadCustomer last read it

    // --- maintenance ---
    QString m_maintenanceFileName;   // the file dialog offers the name chosen last again
};

} // namespace rp
