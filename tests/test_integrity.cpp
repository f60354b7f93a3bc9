// Nothing refused is stored, every operator action is all or nothing, and the board and the editors
// show what the file holds: through the real windows.
#include "data/Clock.h"
#include "masters/Form_GirlData.h"
#include "masters/Form_ShopData.h"
#include "reception/Grid.h"
#include "support/AllOrNothing.h"
#include "support/TestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace rp;
using rp::test::DumpStore;
using rp::test::ForEachFailedWrite;
using rp::test::TestApp;

namespace {

const QString ErrorBox = QStringLiteral("Error!!  ");

// Three shops; あい works at A and B, まい at A only.
struct Agency
{
    TestApp t;
    qint32 shopA = 0, shopB = 0, shopC = 0, ai = 0, mai = 0;

    Agency()
    {
        Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 0)));
        if (!t.start())
            qFatal("start-up failed");
        shopA = t.addShop(QStringLiteral("Ａ店"), 10);
        shopB = t.addShop(QStringLiteral("Ｂ店"), 10);
        shopC = t.addShop(QStringLiteral("Ｃ店"), 10);
        t.module().LoadShopList();
        ai = t.addCompanion(QStringLiteral("あい"), {QStringLiteral("アイ"), QStringLiteral("アイコ")});
        mai = t.addCompanion(QStringLiteral("まい"), {QStringLiteral("マイ")});
        t.module().LoadCompanionList();
        for (qint32 id : {ai, mai})
            t.module().SyncStatusRows(id);
        t.prompt().clear();
    }
    ~Agency() { Clock::reset(); }

    Main_Form &board() { return t.board(); }
    Grid &grid() { return *t.board().Grid_Girl; }
    void show(int p)
    {
        board().Combo_Shop_Name->setCurrentIndex(p);
        emit board().Combo_Shop_Name->activated(p);
    }
    int rowOf(qint32 girl)
    {
        for (int r = 1; r <= board().BoardRowCount; ++r)
            if (grid().text(r, 8) == QString::number(girl))
                return r;
        return 0;
    }
    // 出退勤, 空, 他店舗 of her row at a shop; empty when she has none there.
    QString status(qint32 shop, qint32 girl)
    {
        const std::optional<Row> r = t.db().first(
            QStringLiteral("SELECT \"出退勤\",\"空\",\"他店舗\" FROM \"現在状況\" WHERE \"店舗ID\"=? AND \"コンパニオンID\"=?;"), {shop, girl});
        return r ? QStringLiteral("%1%2%3").arg(r->value(0).toInt()).arg(r->value(1).toInt()).arg(r->value(2).toInt())
                 : QString();
    }
    // She is out on a booking for shop: busy there, out for another shop everywhere else.
    void sendOut(qint32 girl, qint32 shop, const QString &end = {})
    {
        t.db().exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=1,\"空\"=1,\"他店舗\"=CASE WHEN \"店舗ID\"=? THEN 0 ELSE 1 END,"
                                   "\"終了予定\"=CASE WHEN \"店舗ID\"=? THEN ? END WHERE \"コンパニオンID\"=?;"),
                    {shop, shop, end.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(end), girl});
    }
    Form_ShopData *shopEditor()
    {
        Form_ShopData *f = t.app().shopForm();
        f->showModal();
        QApplication::processEvents();
        return f;
    }
    Form_GirlData *girlEditor()
    {
        board().Cmd_GirlData->click();
        return t.app().girlForm();
    }
    bool errorShown() { return t.prompt().lastMessage().startsWith(ErrorBox); }
};

void chooseFrom(QComboBox *combo, int position)
{
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

void typeGenji(Form_GirlData *g, const QString &name)
{
    g->Combo_Genji_GotFocus();
    g->Combo_Genji->setEditText(name);
    g->Combo_Genji_LostFocus();
}

// "Text_X=value" edits, applied to the named boxes of a window.
void applyEdits(QWidget *w, const QStringList &edits)
{
    for (const QString &edit : edits) {
        const int eq = edit.indexOf(QLatin1Char('='));
        auto *box = w->findChild<QLineEdit *>(edit.left(eq));
        QVERIFY2(box, qPrintable(edit));
        box->setText(edit.mid(eq + 1));
    }
}

} // namespace

class TestIntegrity : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void shopRegistrationRefusesWhatItsBoxesRefuse_data();
    void shopRegistrationRefusesWhatItsBoxesRefuse();
    void companionRegistrationRefusesWhatItsBoxesRefuse_data();
    void companionRegistrationRefusesWhatItsBoxesRefuse();
    void overLongNameIsToldOnceOnTheWayToRegist_data();
    void overLongNameIsToldOnceOnTheWayToRegist();
    void shopEditorActionsAreAllOrNothing_data();
    void shopEditorActionsAreAllOrNothing();
    void companionEditorActionsAreAllOrNothing_data();
    void companionEditorActionsAreAllOrNothing();
    void boardActionsAreAllOrNothing_data();
    void boardActionsAreAllOrNothing();
    void offDutyAtOneShopKeepsHerOutForAnother();
    void warningFollowsEveryRunningBooking_data();
    void warningFollowsEveryRunningBooking();
    void editorChangesShowOnTheBoardWhenItCloses_data();
    void editorChangesShowOnTheBoardWhenItCloses();
    void registerEditsWhileSheIsOut_data();
    void registerEditsWhileSheIsOut();
};

// ---- Refused values are never stored ----

void TestIntegrity::shopRegistrationRefusesWhatItsBoxesRefuse_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");   // the first wrong box in tab order

    const QString rate = QStringLiteral("０～１００の数値を入力してください。");
    const QString minutes = QStringLiteral("０～９９９の数値（分）を入力してください。");
    QTest::newRow("text width") << QStringList{"Text_Course_1=ロングコースの名前"}
                                << QStringLiteral("コース名は全角８文字以内で入力してください。") << "Text_Course_1";
    QTest::newRow("price of six digits") << QStringList{"Text_Money_0=1000000"}
                                         << QStringLiteral("６桁の金額を入力してください。") << "Text_Money_0";
    QTest::newRow("fee of five digits") << QStringList{"Text_Shimei_Money=100000"}
                                        << QStringLiteral("５桁の金額を入力してください。") << "Text_Shimei_Money";
    QTest::newRow("rate over 100") << QStringList{"Text_C1_Rate=150"} << rate << "Text_C1_Rate";
    QTest::newRow("option rate over 100") << QStringList{"Text_OneOpt_Rate_3=150"} << rate << "Text_OneOpt_Rate_3";
    QTest::newRow("not a number") << QStringList{"Text_Ext_Money=abc"} << QStringLiteral("数値を入力してください。")
                                  << "Text_Ext_Money";
    QTest::newRow("extension over 999") << QStringList{"Text_Ext_Minute=40000"} << minutes << "Text_Ext_Minute";
    QTest::newRow("negative warning time") << QStringList{"Text_WarningTime=-5"} << minutes << "Text_WarningTime";
    QTest::newRow("first wrong box wins") << QStringList{"Text_C1_Rate=150", "Text_Money_0=1000000"}
                                          << QStringLiteral("６桁の金額を入力してください。") << "Text_Money_0";
}

void TestIntegrity::shopRegistrationRefusesWhatItsBoxesRefuse()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Agency a;
    Form_ShopData *f = a.shopEditor();
    chooseFrom(f->Combo_Shop_Name, 0);
    applyEdits(f, edits);
    const QStringList before = DumpStore(a.t.db());
    // Told once at the click, and again at every further click: never a question, never a write.
    for (int click = 0; click < 2; ++click) {
        a.t.prompt().answer(Answer::Ok);
        f->Cmd_Regist->click();
    }
    QCOMPARE(a.t.prompt().messages(), QStringList({message, message}));
    QCOMPARE(f->focusWidget(), f->findChild<QLineEdit *>(focus));
    QCOMPARE(DumpStore(a.t.db()), before);

    // With the mouse, the box refuses as the focus leaves it for 登録, and the click tells no more.
    QApplication::setActiveWindow(f);
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->findChild<QLineEdit *>(focus)->setFocus();
    a.t.prompt().clear();
    a.t.prompt().answer(Answer::Ok);
    QTest::mouseClick(f->Cmd_Regist, Qt::LeftButton);
    QCOMPARE(a.t.prompt().messages(), QStringList{message});
    QCOMPARE(DumpStore(a.t.db()), before);

    // A message box takes the release of the press that moved the focus: the next click is told again.
    a.t.prompt().clear();
    a.t.prompt().answer(Answer::Ok);
    a.t.prompt().answer(Answer::Ok);
    QTest::mousePress(f->Cmd_Regist, Qt::LeftButton);
    QTest::mouseRelease(f->Cmd_Regist, Qt::LeftButton, {}, QPoint(-5, -5));   // released off the button
    QApplication::processEvents();
    f->Cmd_Regist->click();   // 登録 pressed again (the box lost no focus this time)
    QCOMPARE(a.t.prompt().messages(), QStringList({message, message}));
    QCOMPARE(DumpStore(a.t.db()), before);
}

void TestIntegrity::companionRegistrationRefusesWhatItsBoxesRefuse_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("name width") << QStringList{"Text_SName_1=ながいなまえです"}
                                << QStringLiteral("コンパニオン名は全角６文字以内で入力してください。") << "Text_SName_1";
    QTest::newRow("age out of range") << QStringList{"Text_Old=5"} << QStringLiteral("１０～９０の数値を入力してください。")
                                      << "Text_Old";
    QTest::newRow("measure out of range") << QStringList{"Text_Hip=250"}
                                          << QStringLiteral("５０～２００の数値を入力してください。") << "Text_Hip";
    QTest::newRow("surcharge over 100") << QStringList{"Text_C3_Rate=150"}
                                        << QStringLiteral("０～１００の数値を入力してください。") << "Text_C3_Rate";
    QTest::newRow("not a number") << QStringList{"Text_Tall=abc"} << QStringLiteral("数値を入力してください。") << "Text_Tall";
    QTest::newRow("cup") << QStringList{"Text_Cup=AB"} << QStringLiteral("A～Zのアルファベットを入力してください。")
                         << "Text_Cup";
    QTest::newRow("first wrong box wins") << QStringList{"Text_Can_Rate=-1", "Text_Bust=20"}
                                          << QStringLiteral("５０～２００の数値を入力してください。") << "Text_Bust";
}

void TestIntegrity::companionRegistrationRefusesWhatItsBoxesRefuse()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Agency a;
    Form_GirlData *g = a.girlEditor();
    QVERIFY(g->isVisible());
    for (const bool existing : {true, false}) {
        a.t.prompt().clear();
        typeGenji(g, existing ? QStringLiteral("あい") : QStringLiteral("新人"));
        QCOMPARE(g->IsNewCompanion, !existing);
        g->Text_SName[0]->setText(QStringLiteral("シン"));
        applyEdits(g, edits);
        const QStringList before = DumpStore(a.t.db());
        for (int click = 0; click < 2; ++click) {
            a.t.prompt().answer(Answer::Ok);
            g->Cmd_Regist->click();
        }
        QCOMPARE(a.t.prompt().messages(), QStringList({message, message}));
        QCOMPARE(g->focusWidget(), g->findChild<QLineEdit *>(focus));
        QCOMPARE(DumpStore(a.t.db()), before);

        QApplication::setActiveWindow(g);
        QVERIFY(QTest::qWaitForWindowActive(g));
        g->findChild<QLineEdit *>(focus)->setFocus();
        a.t.prompt().clear();
        QTest::mouseClick(g->Cmd_Regist, Qt::LeftButton);
        QCOMPARE(a.t.prompt().messages(), QStringList{message});
        QCOMPARE(DumpStore(a.t.db()), before);
    }
}

void TestIntegrity::overLongNameIsToldOnceOnTheWayToRegist_data()
{
    QTest::addColumn<bool>("shop");
    QTest::addColumn<QString>("message");
    QTest::newRow("shop name") << true << QStringLiteral("店舗名は全角１５文字以内で入力してください。");
    QTest::newRow("working name") << false << QStringLiteral("源氏名は全角６文字以内で入力してください。");
}

void TestIntegrity::overLongNameIsToldOnceOnTheWayToRegist()
{
    QFETCH(bool, shop);
    QFETCH(QString, message);
    Agency a;
    QDialog *editor = shop ? static_cast<QDialog *>(a.shopEditor()) : a.girlEditor();
    QComboBox *names = shop ? a.t.app().shopForm()->Combo_Shop_Name : a.t.app().girlForm()->Combo_Genji;
    QPushButton *regist = shop ? a.t.app().shopForm()->Cmd_Regist : a.t.app().girlForm()->Cmd_Regist;
    QApplication::setActiveWindow(editor);
    QVERIFY(QTest::qWaitForWindowActive(editor));
    names->setFocus();
    QApplication::processEvents();
    names->setEditText(QString(16, QChar(0x5E97)));
    const QStringList before = DumpStore(a.t.db());
    QTest::mouseClick(regist, Qt::LeftButton);
    QCOMPARE(a.t.prompt().messages(), QStringList{message});
    QCOMPARE(editor->focusWidget(), names);
    QCOMPARE(DumpStore(a.t.db()), before);
}

// ---- One action, one transaction ----

void TestIntegrity::shopEditorActionsAreAllOrNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("writes");   // statements and the commit
    QTest::newRow("delete") << "delete" << 5;   // flag, two companions' slots, status rows, commit
    QTest::newRow("change") << "change" << 1;
    QTest::newRow("new") << "new" << 1;
}

void TestIntegrity::shopEditorActionsAreAllOrNothing()
{
    QFETCH(QString, action);
    QFETCH(int, writes);
    Agency a;
    Form_ShopData *f = a.shopEditor();
    const auto arrange = [&] {
        a.t.prompt().clear();
        if (action == QStringLiteral("new")) {
            f->Combo_Shop_Name_GotFocus();
            f->Combo_Shop_Name->setEditText(QStringLiteral("Ｄ店"));
            f->Combo_Shop_Name_LostFocus();
            chooseFrom(f->Combo_Shop_Name, 0);   // take a whole tariff from Ａ店 ...
            f->Combo_Shop_Name->setEditText(QStringLiteral("Ｄ店"));
            f->IsNewShop = true;                  // ... and register it as Ｄ店
        } else {
            chooseFrom(f->Combo_Shop_Name, 0);
            f->Text_C1_Rate->setText(QStringLiteral("45"));
        }
    };
    const auto act = [&] {
        a.t.prompt().answer(Answer::Ok);
        (action == QStringLiteral("delete") ? f->Cmd_Del : f->Cmd_Regist)->click();
    };
    const int n = ForEachFailedWrite(a.t.db(), arrange, act, [&](int) {
        QVERIFY2(a.errorShown(), qPrintable(a.t.prompt().lastMessage()));
        QCOMPARE(a.t.module().ShopCount, 3);
        if (action != QStringLiteral("new")) {
            QCOMPARE(f->Combo_Shop_Name->currentText(), QStringLiteral("Ａ店"));
            QCOMPARE(f->Text_C1_Rate->text(), QStringLiteral("40"));
        }
    });
    QCOMPARE(n, writes);
    QVERIFY(!a.errorShown());
}

void TestIntegrity::companionEditorActionsAreAllOrNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("writes");
    QTest::newRow("new") << "new" << 3;          // companion, her one status row, commit
    QTest::newRow("change") << "change" << 5;    // companion, rows at A, B (removed), C (added), commit
    QTest::newRow("delete") << "delete" << 3;    // flag, her status rows, commit
}

void TestIntegrity::companionEditorActionsAreAllOrNothing()
{
    QFETCH(QString, action);
    QFETCH(int, writes);
    Agency a;
    Form_GirlData *g = a.girlEditor();
    const auto arrange = [&] {
        a.t.prompt().clear();
        typeGenji(g, action == QStringLiteral("new") ? QStringLiteral("新人") : QStringLiteral("あい"));
        if (action == QStringLiteral("new")) {
            g->Text_SName[0]->setText(QStringLiteral("シン"));
        } else if (action == QStringLiteral("change")) {
            g->Text_SName[0]->setText(QStringLiteral("アイ２"));
            g->Text_SName[1]->clear();
            g->Text_SName[2]->setText(QStringLiteral("アイミ"));
        }
    };
    const auto act = [&] {
        a.t.prompt().answer(Answer::Ok);
        (action == QStringLiteral("delete") ? g->Cmd_Del : g->Cmd_Regist)->click();
    };
    const int n = ForEachFailedWrite(a.t.db(), arrange, act, [&](int) {
        QVERIFY2(a.errorShown(), qPrintable(a.t.prompt().lastMessage()));
        QCOMPARE(a.t.module().CompanionCount, 2);
        if (action != QStringLiteral("new")) {
            // Her stored record, not what was typed.
            QCOMPARE(g->Text_SName[0]->text(), QStringLiteral("アイ"));
            QCOMPARE(g->Text_SName[1]->text(), QStringLiteral("アイコ"));
            QCOMPARE(g->Text_SName[2]->text(), QString());
        }
    });
    QCOMPARE(n, writes);
    QVERIFY(!a.errorShown());
}

void TestIntegrity::boardActionsAreAllOrNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("writes");
    QTest::newRow("tick busy") << "tick" << 4;        // B, C, own row, commit
    QTest::newRow("untick busy") << "untick" << 4;
    QTest::newRow("off duty while out") << "off" << 4;
    // On a server every board action is a transaction of its own (her rows locked, then written), and the
    // write-back writes only the rows this PC changed: none here.
    const bool server = rp::test::OnPostgres();
    QTest::newRow("on duty") << "on" << (server ? 2 : 1);
    QTest::newRow("switch shop") << "switch" << (server ? 1 : 3);   // A's two rows written back, commit
}

void TestIntegrity::boardActionsAreAllOrNothing()
{
    QFETCH(QString, action);
    QFETCH(int, writes);
    Agency a;
    a.show(0);
    int row = 0;
    const auto arrange = [&] {
        a.t.prompt().clear();
        a.t.db().exec(QStringLiteral("UPDATE \"現在状況\" SET \"出退勤\"=?,\"空\"=0,\"他店舗\"=0,\"終了予定\"=NULL;"),
                      {action == QStringLiteral("on") ? 0 : 1});
        if (action == QStringLiteral("untick") || action == QStringLiteral("off"))
            a.sendOut(a.ai, a.shopA, QStringLiteral("21:05:00"));
        a.board().ReloadShownShop();
        row = a.rowOf(a.ai);
    };
    const auto act = [&] {
        if (action == QStringLiteral("switch"))
            a.show(1);
        else if (action == QStringLiteral("tick") || action == QStringLiteral("untick"))
            a.grid().clickCell(row, 3);
        else
            a.grid().editCell(row, 2, action == QStringLiteral("on") ? QStringLiteral("出勤") : QStringLiteral("退勤"));
    };
    const int n = ForEachFailedWrite(a.t.db(), arrange, act, [&](int) {
        QVERIFY2(a.errorShown(), qPrintable(a.t.prompt().lastMessage()));
        // The board shows the file again: her row as stored, the warning tables with it.
        const QString stored = a.status(a.shopA, a.ai);
        QCOMPARE(a.grid().text(row, 2), stored[0] == QLatin1Char('1') ? QStringLiteral("出勤") : QStringLiteral("退勤"));
        QCOMPARE(a.grid().text(row, 3), stored[1] == QLatin1Char('1') ? QStringLiteral("True") : QStringLiteral("False"));
        const bool out = action == QStringLiteral("untick") || action == QStringLiteral("off");
        QCOMPARE(a.grid().text(row, 5), out ? QStringLiteral("21:05") : QString());
        QCOMPARE(a.t.module().WarnState[0][row], out ? 5 : -1);
        QCOMPARE(a.board().Label_GirlID->text(), QString());
        QCOMPARE(a.board().shownShopPosition(), 0);
        QCOMPARE(a.board().Combo_Shop_Name->currentIndex(), 0);
    });
    QCOMPARE(n, writes);
    QVERIFY(!a.errorShown());
}

// ---- The board's own faults ----

void TestIntegrity::offDutyAtOneShopKeepsHerOutForAnother()
{
    Agency a;
    a.sendOut(a.ai, a.shopA, QStringLiteral("22:00:00"));
    a.show(1);
    const int rowB = a.rowOf(a.ai);
    QVERIFY(a.grid().editCell(rowB, 2, QStringLiteral("退勤")));
    // Off duty at B only; still out for A everywhere, so A never offers her while she is out.
    QCOMPARE(a.status(a.shopA, a.ai), QStringLiteral("110"));
    QCOMPARE(a.status(a.shopB, a.ai), QStringLiteral("011"));
    QCOMPARE(a.grid().text(rowB, 3), QStringLiteral("True"));
    QCOMPARE(a.grid().text(rowB, 4), QStringLiteral("True"));
    QVERIFY(a.t.prompt().messages().isEmpty());

    // When the booking ends at A she is free at B, and off duty there as set.
    a.show(0);
    a.grid().clickCell(a.rowOf(a.ai), 3);
    QCOMPARE(a.status(a.shopA, a.ai), QStringLiteral("100"));
    QCOMPARE(a.status(a.shopB, a.ai), QStringLiteral("000"));
}

void TestIntegrity::warningFollowsEveryRunningBooking_data()
{
    QTest::addColumn<QString>("event");
    QTest::newRow("after start-up") << "restart";
    QTest::newRow("after a shop listed before it is deleted") << "delete";
    QTest::newRow("after the board is reloaded") << "reload";
}

void TestIntegrity::warningFollowsEveryRunningBooking()
{
    QFETCH(QString, event);
    Agency a;
    // まい is not at C: give her a row there through the register, then send both out.
    a.t.db().exec(QStringLiteral("UPDATE \"コンパニオン\" SET \"店舗3ID\"=?,\"名前3\"='マイ' WHERE \"コンパニオンID\"=?;"), {a.shopC, a.mai});
    a.t.module().SyncStatusRows(a.mai);
    a.sendOut(a.mai, a.shopC, QStringLiteral("21:08:00"));   // 8 minutes left: within C's warning time
    a.sendOut(a.ai, a.shopB, QStringLiteral("23:00:00"));    // far from its end
    a.show(0);
    QCOMPARE(a.t.module().WarnState[2][0], 0);   // C's board has never been shown

    std::unique_ptr<TestApp> second;
    TestApp *t = &a.t;
    if (event == QStringLiteral("restart")) {
        a.t.prompt().answer(Answer::No);   // keep the duty state at exit
        QVERIFY(a.t.close());
        second = a.t.restart();
        t = second.get();
        QVERIFY(t->start());
    } else if (event == QStringLiteral("delete")) {
        Form_ShopData *f = a.shopEditor();
        chooseFrom(f->Combo_Shop_Name, 0);
        a.t.prompt().answer(Answer::Ok);
        f->Cmd_Del->click();
        f->Cmd_OK->click();
    } else {
        a.board().ReloadShownShop();
    }
    Module1 &m = t->module();
    const int c = m.shopPosition(a.shopC);
    const int b = m.shopPosition(a.shopB);
    QVERIFY(c >= 0 && b >= 0);
    QCOMPARE(m.WarnState[c][0], 1);
    QCOMPARE(m.WarnState[c][1], 8);
    QCOMPARE(m.EndTimes[c][1], QTime(21, 8));
    QCOMPARE(m.WarnState[b][m.WarnState[b][0]], 120);
    t->board().TimerWarningTick();
    QCOMPARE(t->board().warningText(), QStringLiteral("！終了予定！Ｃ店\r\n"));
}

void TestIntegrity::editorChangesShowOnTheBoardWhenItCloses_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("names");   // column 0 of the board once the editor has closed
    QTest::newRow("new") << "new" << QStringList{"アイ", "マイ", "シン"};
    QTest::newRow("changed") << "change" << QStringList{"アイ２", "マイ"};
    QTest::newRow("deleted") << "delete" << QStringList{"マイ"};
}

void TestIntegrity::editorChangesShowOnTheBoardWhenItCloses()
{
    QFETCH(QString, action);
    QFETCH(QStringList, names);
    Agency a;
    a.show(0);
    // On duty at once (written), and a stale busy tick on the grid that the reload must not write back.
    QVERIFY(a.grid().editCell(a.rowOf(a.mai), 2, QStringLiteral("出勤")));
    a.grid().setText(a.rowOf(a.mai), 3, QStringLiteral("True"));
    Form_GirlData *g = a.girlEditor();
    typeGenji(g, action == QStringLiteral("new") ? QStringLiteral("新人") : QStringLiteral("あい"));
    if (action == QStringLiteral("new"))
        g->Text_SName[0]->setText(QStringLiteral("シン"));
    else if (action == QStringLiteral("change"))
        g->Text_SName[0]->setText(QStringLiteral("アイ２"));
    a.t.prompt().answer(Answer::Ok);
    (action == QStringLiteral("delete") ? g->Cmd_Del : g->Cmd_Regist)->click();
    g->Cmd_OK->click();

    QStringList shown;
    for (int r = 1; r <= a.board().BoardRowCount; ++r)
        shown << a.grid().text(r, 0);
    QCOMPARE(shown, names);
    QCOMPARE(a.grid().text(a.rowOf(a.mai), 2), QStringLiteral("出勤"));
    QCOMPARE(a.grid().text(a.rowOf(a.mai), 3), QStringLiteral("False"));
    QCOMPARE(a.status(a.shopA, a.mai), QStringLiteral("100"));
    QVERIFY(a.t.prompt().unexpected().isEmpty());
}

void TestIntegrity::registerEditsWhileSheIsOut_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");         // empty: carried through
    QTest::addColumn<QStringList>("statusAtABC");  // her rows afterwards ("" when none)
    QTest::newRow("remove her name where she is out")
        << "unname" << QStringLiteral("あいはＡ店で接客中です。コンパニオン名は接客が終わってから削除してください。")
        << QStringList{"110", "111", ""};
    QTest::newRow("delete her") << "delete" << QStringLiteral("あいはＡ店で接客中です。削除は接客が終わってから行ってください。")
                                << QStringList{"110", "111", ""};
    QTest::newRow("delete the shop she is out for")
        << "deleteShop" << QStringLiteral("Ａ店で接客中のコンパニオンがいます。削除は接客が終わってから行ってください。")
        << QStringList{"110", "111", ""};
    QTest::newRow("name her at a new shop") << "name" << QString() << QStringList{"110", "111", "011"};
    QTest::newRow("remove her name elsewhere") << "unnameB" << QString() << QStringList{"110", "", ""};
}

void TestIntegrity::registerEditsWhileSheIsOut()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    QFETCH(QStringList, statusAtABC);
    Agency a;
    a.sendOut(a.ai, a.shopA, QStringLiteral("22:00:00"));
    if (action == QStringLiteral("deleteShop")) {
        Form_ShopData *f = a.shopEditor();
        chooseFrom(f->Combo_Shop_Name, 0);
        f->Cmd_Del->click();
        f->Cmd_OK->click();
    } else {
        Form_GirlData *g = a.girlEditor();
        typeGenji(g, QStringLiteral("あい"));
        if (action == QStringLiteral("unname"))
            g->Text_SName[0]->clear();
        else if (action == QStringLiteral("unnameB"))
            g->Text_SName[1]->clear();
        else if (action == QStringLiteral("name"))
            g->Text_SName[2]->setText(QStringLiteral("アイミ"));
        if (message.isEmpty())
            a.t.prompt().answer(Answer::Ok);
        (action == QStringLiteral("delete") ? g->Cmd_Del : g->Cmd_Regist)->click();
        g->Cmd_OK->click();
    }
    if (message.isEmpty())
        QVERIFY(a.t.prompt().messages().size() == 1 && !a.errorShown());
    else
        QCOMPARE(a.t.prompt().messages(), QStringList{message});
    QCOMPARE((QStringList{a.status(a.shopA, a.ai), a.status(a.shopB, a.ai), a.status(a.shopC, a.ai)}), statusAtABC);

    // Ending the booking at A frees every row she has.
    a.show(0);
    a.grid().clickCell(a.rowOf(a.ai), 3);
    for (qint32 shop : {a.shopB, a.shopC})
        QVERIFY(a.status(shop, a.ai).isEmpty() || a.status(shop, a.ai).endsWith(QStringLiteral("00")));
    QVERIFY(a.t.prompt().unexpected().isEmpty());
}

QTEST_MAIN(TestIntegrity)
#include "test_integrity.moc"
