// A program under test for the crash tests: starts rosterpad in the given folder, puts the board where
// an operator action starts, arms the kill shim (see killshim.cpp) and runs that one action. Killed by
// the shim, it leaves the folder as a crash at that step would; otherwise it prints how many steps the
// action took and exits without any further write.
//
//   crash_child FOLDER ACTION [arrange]
//
// ACTION: new, existing, recalled, cancelled, rdel, update, purge. With "arrange" it stops just before
// the action, so the folder holds the state the action starts from.
#include "data/Clock.h"
#include "reception/Grid.h"
#include "support/TestApp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

using namespace rp;

namespace {

void choose(Main_Form &b, int p)
{
    b.Combo_Shop_Name->setCurrentIndex(p);
    emit b.Combo_Shop_Name->activated(p);
}

void chooseCourse(Main_Form &b, int i)
{
    b.Combo_Course->setCurrentIndex(i);
    emit b.Combo_Course->activated(i);
}

void search(Main_Form &b, const QString &tel)
{
    b.Text_Tel->setText(tel);
    b.Cmd_Search->click();
}

int shimSteps()
{
    using Steps = int (*)();
    const auto steps = reinterpret_cast<Steps>(dlsym(RTLD_DEFAULT, "rosterpad_killshim_steps"));
    return steps ? steps() : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString action = QString::fromLocal8Bit(argv[2]);
    const bool arrangeOnly = argc > 3 && QByteArray(argv[3]) == "arrange";

    Clock::set(QDateTime(QDate(2026, 12, 8), QTime(21, 30)));
    test::TestApp t(folder);
    if (!t.start())
        return 4;
    Main_Form &b = t.board();
    Grid &board = *b.Grid_Girl;
    choose(b, 0);

    // Row 1 is あい, out for 山田 since 21:00; row 2 is まい, on duty and free.
    std::function<void()> act;
    if (action == "new" || action == "existing") {
        if (action == "new") {
            b.Text_Tel->setText(QStringLiteral("09011112222"));
            b.Combo_Name->setEditText(QStringLiteral("新規客"));
        } else {
            search(b, QStringLiteral("0312345678"));
        }
        board.clickCell(2, 3);
        chooseCourse(b, 0);
        b.Text_Place->setText(QStringLiteral("ホテルＡ"));
        act = [&] { b.RegisterBooking(); };
    } else if (action == "recalled" || action == "cancelled") {
        board.clickCell(1, 0);
        if (action == "recalled")
            b.Text_Place->setText(QStringLiteral("ホテルＣ"));
        else
            b.Check_Cancel->click();
        act = [&] { b.RegisterBooking(); };
    } else if (action == "rdel") {
        search(b, QStringLiteral("0312345678"));
        b.Grid_Rireki->select(1, 0);
        t.prompt().answer(Answer::Yes);
        act = [&] { b.mnuRDel->trigger(); };
    } else if (action == "update") {
        search(b, QStringLiteral("0312345678"));
        b.Text_Note->setText(QStringLiteral("常連"));
        t.prompt().answer(Answer::Ok);
        act = [&] { b.Cmd_UserUpdate->click(); };
    } else if (action == "purge") {
        t.prompt().answerText(QStringLiteral("25/06/30"));
        t.prompt().answer(Answer::Yes);
        act = [&] { b.mnuDel->trigger(); };
    } else {
        return 2;
    }
    if (arrangeOnly)
        std::_Exit(0);

    qputenv("ROSTERPAD_KILL_ARMED", "1");
    act();
    qputenv("ROSTERPAD_KILL_ARMED", "0");
    const QStringList told = t.prompt().messages();
    const bool failed = !t.prompt().unexpected().isEmpty()
        || std::any_of(told.cbegin(), told.cend(), [](const QString &m) { return m.startsWith(QStringLiteral("Error!!")); });
    std::printf("steps %d\n", shimSteps());
    std::fflush(stdout);
    // Nothing more may reach the file: the folder holds exactly what the action left.
    std::_Exit(failed ? 3 : 0);
}
