// A full priced change on the real board: course, option, extension and nomination clicks, each of
// which re-prices the booking. Pricing needs no SQL, so the bare figure is the plain pricing calls
// the same four clicks make.
#include "bench/Bench.h"

#include "app/Application.h"
#include "data/Module1.h"
#include "data/Prompt.h"
#include "reception/Grid.h"
#include "reception/Main_Form.h"
#include "reception/Pricing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSpinBox>
#include <QTextStream>

namespace {

// Nothing may wait for an operator here: every question gets its cautious answer.
class SilentPrompt : public rp::PromptService
{
public:
    rp::Answer message(QWidget *, const QString &, rp::Buttons buttons, const QString &) override
    {
        return buttons == rp::Buttons::Ok ? rp::Answer::Ok : rp::Answer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> fileName(QWidget *, const rp::FileDialogSpec &) override { return {}; }
    std::optional<int> choose(QWidget *, const rp::ChoiceSpec &) override { return {}; }
};

RP_BENCH("entry")
{
    using namespace rp;
    SilentPrompt prompt;
    InstallPrompt(&prompt);
    {
        Application app(bench::Agency::freshFolder(QStringLiteral("entry")));
        app.setSplashWaitMs(0);
        app.setDailyBackups(false);
        if (!app.start()) {
            QTextStream(stderr) << "entry: start-up failed\n";
            InstallPrompt(nullptr);
            return;
        }
        Main_Form &b = *app.mainForm();
        b.Combo_Shop_Name->setCurrentIndex(0);
        emit b.Combo_Shop_Name->activated(0);

        // A free companion who offers at least one option the shop has.
        int row = 0, option = -1;
        for (int r = 1; r <= b.BoardRowCount && option < 0; ++r) {
            if (b.Grid_Girl->text(r, 3) == QLatin1String("True") || b.Grid_Girl->text(r, 4) == QLatin1String("True"))
                continue;
            const int offered = int(b.Grid_Girl->value(r, 10)) & b.Tariff.ShopOptionMask;
            for (int k = 0; k < 15 && option < 0; ++k)
                if (offered & (1 << k)) {
                    row = r;
                    option = k;
                }
        }
        if (option < 0 || b.Combo_Course->count() < 2) {
            QTextStream(stderr) << "entry: no free companion with an option at the first shop\n";
            app.terminate();
            InstallPrompt(nullptr);
            return;
        }
        b.Grid_Girl->editCell(row, 2, QStringLiteral("出勤"));
        b.Grid_Girl->clickCell(row, 3);

        // Each run makes four priced clicks; every other run takes them back, so the runs alternate.
        int run = 0;
        const auto change = [&] {
            const int line = run % 2;
            b.Combo_Course->setCurrentIndex(line);
            emit b.Combo_Course->activated(line);
            b.Check_Option[option]->click();
            if (run % 2 == 0)
                b.UpDown_Ext->stepUp();
            else
                b.UpDown_Ext->stepDown();
            b.Check_Shimei->click();
            // The repaint of the amounts belongs to the change the operator sees.
            QCoreApplication::processEvents();
            ++run;
        };

        const ShopTariff tariff = b.Tariff;
        const Surcharges marks = b.CompanionSurcharges;
        const qint16 offered = qint16(b.Grid_Girl->value(row, 10));
        volatile qint64 sink = 0;
        const auto bare = [&] {
            BookingChoices c{0, offered, 0, 0, false};
            sink = sink + PriceBooking(tariff, marks, c).pay.units();
            c.tickedMask = qint16(1 << option);
            sink = sink + PriceBooking(tariff, marks, c).pay.units();
            c.extensionMinutes = tariff.ExtMinutes;
            sink = sink + PriceBooking(tariff, marks, c).pay.units();
            c.nomination = true;
            sink = sink + PriceBooking(tariff, marks, c).pay.units();
        };

        bench::Measure(QStringLiteral("a full priced change (course, option, extension, nomination)"), 40, change, bare,
                       bench::Target{16, 50, 0});
        // The runs must really have priced: an even count of runs leaves the first state, an odd one the second.
        const BookingChoices last{(run - 1) % 2, offered, qint16(run % 2 ? 1 << option : 0),
                                  run % 2 ? int(tariff.ExtMinutes) : 0, run % 2 == 1};
        if (b.Label_Pay->text() != FormatNumber(PriceBooking(tariff, marks, last).total))
            QTextStream(stderr) << "entry: the board shows " << b.Label_Pay->text() << ", not the priced change\n";
        else
            QTextStream(stdout) << "entry: the board shows " << b.Label_Pay->text() << " / " << b.Label_GirlPay->text()
                                << " after " << run << " changes\n";
        app.terminate();
    }
    InstallPrompt(nullptr);
}

} // namespace
