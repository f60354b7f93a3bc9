#include "demogen/DemoAgency.h"

#include "data/Database.h"
#include "data/DateUtil.h"
#include "data/Module1.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "demogen/DemoStore.h"
#include "reception/BoardSettings.h"
#include "reception/BookingStore.h"
#include "reception/Pricing.h"
#include "reception/TariffStore.h"

#include <QComboBox>   // Module1 keeps pointers to the list boxes it fills
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <random>

namespace rp::demo {

namespace {

constexpr quint32 Seed = 20261208u;

class Dice
{
public:
    explicit Dice(quint32 seed) : m_engine(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_engine) < p; }
    template<typename T>
    const T &of(const QVector<T> &items) { return items[pick(0, int(items.size()) - 1)]; }
    int weighted(const std::vector<double> &weights)
    {
        return std::discrete_distribution<int>(weights.begin(), weights.end())(m_engine);
    }
    std::mt19937 &engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};

// --- The register ------------------------------------------------------------------------------

struct ShopPlan
{
    const char *name;
    double priceScale;
    int rateShift;     // percentage points added to every course rate
    int options;       // options named, from the first
    int warnMinutes;
};
const ShopPlan Shops[DemoSize::Shops] = {
    {"青山プリンセス", 1.15, 5, 15, 10},
    {"新宿ロイヤル", 1.0, 0, 12, 15},
    {"横浜ガーデン", 0.9, -5, 10, 10},
};

struct CoursePlan
{
    const char *name;
    int minutes[6];
    int prices[6];
    int rate;
};
const CoursePlan Courses[4] = {
    {"スタンダード", {60, 70, 80, 90, 100, 120}, {15000, 17000, 19000, 21000, 23000, 27000}, 45},
    {"ロング", {150, 180, 210, 240, 270, 300}, {33000, 39000, 45000, 51000, 57000, 63000}, 40},
    {"プレミアム", {60, 90, 120, 150, 180, 240}, {22000, 31000, 40000, 49000, 58000, 74000}, 50},
    {"お泊り", {480, 540, 600, 660, 720, 840}, {80000, 88000, 96000, 104000, 112000, 128000}, 40},
};

const char *const OptionNames[15] = {"コスプレ", "浴衣",     "制服",     "ドレス", "メガネ",   "ハイヒール", "アロマ",  "マッサージ",
                                     "写真撮影", "手料理",   "カラオケ", "お散歩", "ロングヘア", "ネイル",   "香水指定"};

const char *const GenjiNames[DemoSize::Companions] = {"あいり", "さくら", "ひなた", "みゆ",   "ゆな",   "りん",   "かれん",
                                                     "まゆ",   "えみ",   "なな",   "ゆい",   "あかり", "ことね", "しおり",
                                                     "つばさ", "のあ",   "ほのか", "まい",   "るな",   "れいな"};
// A second shop lists her in katakana, a third under another name.
const char *const ThirdShopNames[DemoSize::Companions] = {"麗華", "美咲", "陽菜", "美優", "結菜", "凛",   "花恋",
                                                         "真由", "恵美", "菜々", "結衣", "明里", "琴音", "詩織",
                                                         "翼",   "希空", "穂花", "舞",   "瑠奈", "玲奈"};

QString u(const char *text) { return QString::fromUtf8(text); }

QString katakana(const QString &hiragana)
{
    QString out = hiragana;
    for (QChar &c : out)
        if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
            c = QChar(c.unicode() + 0x60);
    return out;
}

int roundedPrice(double yen) { return int(std::lround(yen / 1000.0)) * 1000; }

qint32 addShop(Database &db, const ShopPlan &plan)
{
    QStringList columns{QStringLiteral("店舗名")};
    QVariantList values{u(plan.name)};
    for (int m = 0; m < 4; ++m) {
        const CoursePlan &c = Courses[m];
        const QString k = QStringLiteral("C%1").arg(m + 1);
        columns << k + QStringLiteral("名");
        values << u(c.name);
        for (int j = 0; j < 6; ++j) {
            columns << k + QStringLiteral("時間%1").arg(j + 1) << k + QStringLiteral("料金%1").arg(j + 1);
            values << QString::number(c.minutes[j]) << roundedPrice(c.prices[j] * plan.priceScale);
        }
        columns << k + QStringLiteral("割合");
        values << c.rate + plan.rateShift;
    }
    for (int n = 1; n <= plan.options; ++n) {
        columns << QStringLiteral("OP%1名").arg(n) << QStringLiteral("OP%1料金").arg(n) << QStringLiteral("OP%1割合").arg(n);
        // Most options take the shop's general option rate (0 here); a few have their own.
        values << u(OptionNames[n - 1]) << 2000 + 500 * (n % 7) << (n % 4 == 0 ? 40 : 0);
    }
    columns << QStringLiteral("延長時間") << QStringLiteral("延長料金") << QStringLiteral("延長割合") << QStringLiteral("指名料")
            << QStringLiteral("指名割合") << QStringLiteral("キャンセル料") << QStringLiteral("キャンセル割合")
            << QStringLiteral("OP割合") << QStringLiteral("警告時間");
    values << 30 << roundedPrice(8000 * plan.priceScale) << 40 << 2000 << 20 << 5000 << 60 << 30 << plan.warnMinutes;
    return InsertShop(db, columns, values);
}

// Her shop slots, body and surcharges, as the companion editor stores them.
qint32 addCompanion(Database &db, Dice &dice, int g, const QVector<qint32> &shopIds, const QVector<int> &worksAt)
{
    QStringList columns{QStringLiteral("源氏名")};
    QVariantList values{u(GenjiNames[g])};
    const QVariant nullNumber(QMetaType(QMetaType::Int));
    const QVariant nullText(QMetaType(QMetaType::QString));
    for (int slot = 1; slot <= ShopSlots; ++slot) {
        const int p = slot - 1;
        columns << QStringLiteral("店舗%1ID").arg(slot) << QStringLiteral("名前%1").arg(slot) << QStringLiteral("オプション%1").arg(slot);
        if (p >= shopIds.size()) {
            values << nullNumber << nullText << 0;
            continue;
        }
        const int rank = int(worksAt.indexOf(p));
        if (rank < 0) {
            values << shopIds[p] << nullText << 0;
            continue;
        }
        const QString name = rank == 0 ? u(GenjiNames[g]) : rank == 1 ? katakana(u(GenjiNames[g])) : u(ThirdShopNames[g]);
        int mask = 0;
        for (int k = 0; k < Shops[p].options; ++k)
            if (dice.chance(0.6))
                mask |= 1 << k;
        values << shopIds[p] << name << mask;
    }
    const char cups[] = "BCDEFG";
    columns << QStringLiteral("年齢") << QStringLiteral("身長") << QStringLiteral("バスト") << QStringLiteral("カップ")
            << QStringLiteral("ウエスト") << QStringLiteral("ヒップ");
    values << dice.pick(20, 34) << dice.pick(150, 172) << dice.pick(78, 95) << QString(QLatin1Char(cups[dice.pick(0, 5)]))
           << dice.pick(54, 62) << dice.pick(80, 92);
    // A third of them are paid more: a few points on the courses, options or nominations.
    const bool favoured = g % 3 == 0;
    const int course = favoured ? 5 * dice.pick(1, 2) : 0;
    columns << QStringLiteral("C1割増") << QStringLiteral("C2割増") << QStringLiteral("C3割増") << QStringLiteral("C4割増")
            << QStringLiteral("OP割増") << QStringLiteral("延長割増") << QStringLiteral("指名割増") << QStringLiteral("キャンセル割増");
    values << course << course << course << 0 << (favoured ? 10 : 0) << 0 << (g % 4 == 0 ? 10 : 0) << 0;
    return InsertCompanion(db, columns, values);
}

// --- Customers ---------------------------------------------------------------------------------

const char *const FamilyNames[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
                                   "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林",   "斎藤", "清水",
                                   "山崎", "森",   "池田", "橋本", "阿部", "石川", "山下", "中島", "石井", "小川"};
const char *const GivenNames[] = {"健一", "誠",   "大輔", "翔太", "拓也", "直樹", "浩二", "隆",   "修",   "哲也",
                                  "和也", "達也", "剛",   "博之", "雅人", "亮",   "聡",   "淳",   "健太", "慎吾",
                                  "秀樹", "裕介", "智也", "正人", "光男", "康弘", "茂",   "豊",   "勇気", "悟"};
const char *const Notes[] = {"ホテル利用が多い", "ロング希望", "現金払い", "時間厳守でお願い", "駐車場あり",
                             "オートロック・部屋番号で呼出", "領収書が必要", "電話は夜のみ", "常連・丁寧に"};

struct Caller
{
    CustomerRecord record;   // id 0 until the first booking stores it
    QDate firstDay;          // no booking before this day
};

QVector<Caller> makeCallers(Dice &dice, const QDate &firstDay, const QDate &lastDay)
{
    QVector<std::pair<int, int>> names;
    for (int f = 0; f < int(std::size(FamilyNames)); ++f)
        for (int g = 0; g < int(std::size(GivenNames)); ++g)
            names << std::pair{f, g};
    std::shuffle(names.begin(), names.end(), dice.engine());
    QSet<QString> numbers;
    QVector<Caller> callers;
    const int span = int(firstDay.daysTo(lastDay.addDays(-30)));
    for (int i = 0; i < DemoSize::Customers; ++i) {
        QString tel;
        do
            tel = QStringLiteral("0%1").arg(dice.pick(7, 9)) + QStringLiteral("0%1").arg(dice.pick(0, 99999999), 8, 10, QLatin1Char('0'));
        while (numbers.contains(tel));
        numbers << tel;
        const int r = dice.pick(0, 99);
        const QString rank = r < 70 ? QStringLiteral("並") : r < 86 ? QStringLiteral("上") : r < 98 ? QStringLiteral("下") : QStringLiteral("危険");
        const QString note = dice.chance(0.25) ? u(Notes[dice.pick(0, int(std::size(Notes)) - 1)]) : QString();
        // A third were callers from the start; the others came over the two years.
        const QDate first = i < DemoSize::Customers / 3 ? firstDay : firstDay.addDays(dice.pick(0, span));
        callers << Caller{{0, u(FamilyNames[names[i].first]) + u(GivenNames[names[i].second]), tel, rank, note}, first};
    }
    return callers;
}

QString place(Dice &dice)
{
    static const char *const hotels[] = {"ホテル桜", "グランドホテル", "ホテル青葉", "シティホテル", "ホテル港"};
    if (dice.chance(0.4))
        return QStringLiteral("自宅");
    return u(hotels[dice.pick(0, 4)]) + QStringLiteral(" %1%2").arg(dice.pick(2, 15)).arg(dice.pick(1, 20), 2, 10, QLatin1Char('0'));
}

// --- Booking -----------------------------------------------------------------------------------

struct Working
{
    qint32 shopId = 0;
    int position = 0;
    qint16 offered = 0;
};

struct Companion
{
    qint32 id = 0;
    QVector<Working> shops;
    Surcharges surcharges{};
};

// The agency as registration sees it: tariffs loaded as the board loads them, each companion's shops and
// offered options as her status rows hold them, her surcharges as the board reads them.
class Agency
{
public:
    Agency(Database &db, Module1 &module, Ledger *ledger) : m_db(db), m_module(module), m_ledger(ledger)
    {
        for (int p = 0; p < module.ShopCount; ++p) {
            const std::optional<ShopTariffLoad> load = LoadShopTariff(db, module.ShopIDs[p]);
            if (!load)
                throw AppError(AppError::FileNotFound, QStringLiteral("店舗がありません。"));
            m_tariffs << *load;
        }
        QMap<qint32, Companion> byId;
        for (const StatusRow &row : StatusRows(db)) {
            const int p = module.shopPosition(row.shopId);
            if (p < 0)
                continue;
            Companion &c = byId[row.companionId];
            c.id = row.companionId;
            c.shops << Working{row.shopId, p, row.options};
        }
        for (Companion &c : byId) {
            c.surcharges = CompanionSurcharges(db, c.id);
            m_companions << c;
        }
    }

    // One business day of bookings, in the order they were taken, none ending after `until`.
    void day(Dice &dice, QVector<Caller> &callers, const QDate &date, const QDateTime &until, double trend)
    {
        static const double weekday[8] = {0, 1.0, 0.9, 1.0, 1.1, 1.4, 1.6, 1.2};
        const double noise = 0.8 + 0.4 * dice.pick(0, 100) / 100.0;
        const int wanted = int(std::lround(12 * weekday[date.dayOfWeek()] * trend * noise));

        QVector<int> onDuty;
        for (int i = 0; i < m_companions.size(); ++i)
            if (dice.chance(0.55))
                onDuty << i;
        if (onDuty.isEmpty() || m_companions.isEmpty())
            return;
        // Her next booking comes after her last one has ended, whatever its length.
        QVector<int> freeAt(m_companions.size());
        for (int i : std::as_const(onDuty))
            freeAt[i] = 12 * 60 + 5 * dice.pick(0, 96);
        struct Planned
        {
            int minute, companion;
        };
        QVector<Planned> planned;
        for (int k = 0; k < wanted; ++k) {
            const int i = dice.of(onDuty);
            const int start = freeAt[i] + 5 * dice.pick(0, 12);
            if (start > 27 * 60)
                continue;
            planned << Planned{start, i};
            freeAt[i] = start + 150;
        }
        std::sort(planned.begin(), planned.end(), [](const Planned &a, const Planned &b) { return a.minute < b.minute; });

        QVector<int> joined;
        std::vector<double> weights;
        for (int i = 0; i < callers.size(); ++i)
            if (callers[i].firstDay <= date) {
                joined << i;
                // A few regulars call often; most call now and then.
                weights.push_back(1.0 / (i % 97 + 8));
            }
        if (joined.isEmpty())
            return;
        for (const Planned &p : std::as_const(planned)) {
            const QDateTime begin = QDateTime(date, QTime(0, 0)).addSecs(60 * p.minute);
            // Room for the course and two extensions before `until`.
            const qint64 room = begin.secsTo(until) / 60 - 60;
            const Companion &c = m_companions[p.companion];
            const Working &w = c.shops[dice.chance(0.7) ? 0 : dice.pick(0, int(c.shops.size()) - 1)];
            const int entry = courseEntry(dice, w.position, 0, int(std::min<qint64>(room, 24 * 60)));
            if (entry < 0)
                continue;
            Caller &caller = callers[joined[dice.weighted(weights)]];
            caller.record.id = book(dice, caller.record, c, w, date, begin.time(), entry, false, begin.time()).customerId;
        }
    }

    // The board now: everyone's duty set afresh, a few out on bookings that end within the hour.
    void liveState(Dice &dice, QVector<Caller> &callers, const QDateTime &now)
    {
        ClearStatus(m_db);
        QVector<int> onDuty;
        for (int i = 0; i < m_companions.size(); ++i) {
            if (!dice.chance(0.65))
                continue;
            onDuty << i;
            for (const Working &w : m_companions[i].shops)
                SetOnDuty(m_db, w.shopId, m_companions[i].id);
        }
        std::shuffle(onDuty.begin(), onDuty.end(), dice.engine());
        // Those out are at their first shops, the first shop (where the board opens) first.
        std::stable_partition(onDuty.begin(), onDuty.end(),
                              [this](int i) { return m_companions[i].shops.first().position == 0; });

        const int endsIn[DemoSize::Running] = {6, 21, 37, 54};
        const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
        const std::vector<double> anyone(callers.size(), 1.0);
        for (int k = 0; k < DemoSize::Running && k < onDuty.size(); ++k) {
            const Companion &c = m_companions[onDuty[k]];
            const Working &w = c.shops.first();
            // A course of one or two hours, started before now.
            const int entry = courseEntry(dice, w.position, endsIn[k] + 1, 120);
            if (entry < 0)
                continue;
            const QDateTime end = minute.addSecs(60 * endsIn[k]);
            const QDateTime begin = end.addSecs(-60 * m_tariffs[w.position].tariff.CourseMinutes[entry]);
            Caller &caller = callers[dice.weighted(anyone)];
            caller.record.id =
                book(dice, caller.record, c, w, BusinessDate(begin), begin.time(), entry, true, now.time()).customerId;
            for (const Working &other : c.shops)
                if (other.shopId != w.shopId)
                    SetOutForOtherShop(m_db, other.shopId, c.id);
        }
    }

private:
    // A course entry of the shop between the two lengths: mostly the standard course and shorter lines.
    // -1 when none fits.
    int courseEntry(Dice &dice, int position, int minMinutes, int maxMinutes)
    {
        const ShopTariff &t = m_tariffs[position].tariff;
        const double courseWeight[4] = {55, 15, 25, 5};
        std::vector<double> weights;
        bool any = false;
        for (int e = 0; e < m_tariffs[position].courseLines.size(); ++e) {
            const bool fits = t.CourseMinutes[e] >= minMinutes && t.CourseMinutes[e] <= maxMinutes;
            weights.push_back(fits ? courseWeight[t.CourseNo[e] & 3] / (1 + e % 6) : 0);
            any = any || fits;
        }
        return any ? dice.weighted(weights) : -1;
    }

    // Registers one booking as the board does after the operator's clicks, and notes its amounts.
    BookingResult book(Dice &dice, const CustomerRecord &customer, const Companion &c, const Working &w,
                       const QDate &date, const QTime &start, int entry, bool running, const QTime &now)
    {
        const ShopTariffLoad &load = m_tariffs[w.position];
        const ShopTariff &t = load.tariff;
        BookingChoices choices;
        choices.course = entry;
        choices.offeredMask = w.offered;
        for (int k = 0; k < 15; ++k)
            if ((w.offered & (1 << k)) && dice.chance(0.12))
                choices.tickedMask = qint16(choices.tickedMask | (1 << k));
        const int units = running || dice.chance(0.8) ? 0 : dice.chance(0.75) ? 1 : 2;
        choices.extensionMinutes = units * t.ExtMinutes;
        choices.nomination = dice.chance(0.35);
        const bool cancelled = !running && dice.chance(0.03);

        BookingRecord b;
        b.customer = customer;
        b.chosenCustomerId = customer.id;
        b.shopId = w.shopId;
        for (int p = 0; p < m_module.ShopCount; ++p)
            if (m_module.ShopIDs[p] != w.shopId)
                b.otherShopIds << m_module.ShopIDs[p];
        b.companionId = c.id;
        b.date = date;
        b.start = start;
        b.end = AddMinutesWrapping(start, t.CourseMinutes[entry] + choices.extensionMinutes);
        b.place = place(dice);
        b.course = load.courseLines[entry];
        b.now = now;
        // The amounts as the entry area shows them, read back from it as registration reads them.
        if (cancelled) {
            const CancelCharges charges = PriceCancellation(t, c.surcharges);
            b.cancelled = true;
            b.pay = SqlNumber(FormatNumber(charges.total)).toLongLong();
            b.girlPay = SqlNumber(FormatNumber(charges.pay)).toLongLong();
        } else {
            const Charges charges = PriceBooking(t, c.surcharges, choices);
            b.options = choices.tickedMask;
            if (units > 0)
                b.extension = choices.extensionMinutes;
            b.nomination = choices.nomination;
            b.pay = SqlNumber(FormatNumber(charges.total)).toLongLong();
            b.girlPay = SqlNumber(FormatNumber(charges.pay)).toLongLong();
        }
        // The charges behind the amounts, kept with the booking as registration keeps them.
        b.charges = ChargesBehind(t, c.surcharges, choices, cancelled, b.pay, b.girlPay);
        // Out now: her row is on duty and busy, as ticking 空 leaves it before 登録.
        b.onDuty = running;
        b.busy = running;
        const BookingResult result = RegisterBooking(m_db, b);
        if (m_ledger) {
            SalesFigures &f = (*m_ledger)[{w.shopId, date}];
            f.gross += Money::fromYen(b.pay);
            f.shopShare += Money::fromYen(b.pay - b.girlPay);
            f.pay += Money::fromYen(b.girlPay);
            ++f.visits;
        }
        return result;
    }

    Database &m_db;
    Module1 &m_module;
    Ledger *m_ledger;
    QVector<ShopTariffLoad> m_tariffs;
    QVector<Companion> m_companions;
};

// The working table of the board, as start-up makes it when it is missing.
void ensureStatusTable(Database &db, Module1 &module)
{
    if (db.tableExists(QStringLiteral("現在状況")))
        return;
    db.exec(CreateStatusTableSql());
    for (int i = 0; i < module.CompanionCount; ++i)
        module.SyncStatusRows(module.CompanionIDs[i]);
}

// Bookings from `first` up to now; the last two hours are left to the companions out now.
void addHistory(Agency &agency, Dice &dice, QVector<Caller> &callers, const QDate &first, const QDateTime &now)
{
    const QDate today = BusinessDate(now);
    const QDateTime until = now.addSecs(-125 * 60);
    const QDateTime never(today.addDays(2), QTime(0, 0));
    const double days = std::max<qint64>(1, first.daysTo(today));
    for (QDate d = first; d <= today; d = d.addDays(1)) {
        // Business grew by half over the two years.
        const double trend = 0.8 + 0.4 * first.daysTo(d) / days;
        agency.day(dice, callers, d, d == today || d == today.addDays(-1) ? until : never, trend);
    }
}

} // namespace

bool EndsWithinTheHour(bool busy, bool otherShop, const QDate &date, const std::optional<QTime> &start,
                       const std::optional<QTime> &end, const QDateTime &now)
{
    if (!busy || otherShop || !date.isValid() || !start || !end)
        return false;
    QDateTime begin(date, *start);
    if (*start < QTime(5, 0))
        begin = begin.addDays(1);
    qint64 length = start->secsTo(*end);
    if (length <= 0)
        length += 24 * 3600;
    const QDateTime finish = begin.addSecs(length);
    return begin <= now && now < finish && finish <= now.addSecs(3600);
}

bool LiveStateIsFresh(Database &db, const QDateTime &now)
{
    if (!db.tableExists(QStringLiteral("現在状況")))
        return false;
    for (const StatusRow &row : StatusRows(db))
        if (EndsWithinTheHour(row.busy, row.otherShop, row.date, row.start, row.end, now))
            return true;
    return false;
}

Ledger CreateDemoAgency(const QString &folder, const QDateTime &now)
{
    const QString path = QDir(folder).filePath(QStringLiteral("rosterpad.mdb"));
    if (QFileInfo::exists(path))
        throw AppError(3204, QStringLiteral("データベースは既に存在します。: ") + path);
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    Database::createFile(partial);
    Ledger ledger;
    qint32 firstShop = 0;
    try {
        Database db;
        db.open(partial);
        Module1 module(db);
        module.InitBitMasks();
        Dice dice(Seed);
        const QDate today = BusinessDate(now);
        const QDate first = today.addDays(-(DemoSize::HistoryDays - 1));
        db.atomic([&] {
            QVector<qint32> shopIds;
            for (const ShopPlan &plan : Shops)
                shopIds << addShop(db, plan);
            firstShop = shopIds.first();
            module.LoadShopList();
            for (int g = 0; g < DemoSize::Companions; ++g) {
                // Most work at one shop, some at two, a few at all three.
                const int r = dice.pick(0, 9);
                const int count = r < 6 ? 1 : r < 9 ? 2 : 3;
                QVector<int> worksAt;
                for (int k = 0; k < count; ++k)
                    worksAt << (g + k) % DemoSize::Shops;
                addCompanion(db, dice, g, shopIds, worksAt);
            }
            module.LoadCompanionList();
            ensureStatusTable(db, module);

            Agency agency(db, module, &ledger);
            QVector<Caller> callers = makeCallers(dice, first, today);
            addHistory(agency, dice, callers, first, now);
            agency.liveState(dice, callers, now);
        });
        db.close();
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw AppError(AppError::PathFileAccess, QStringLiteral("ファイルを置き換えられません。: ") + path);
    }
    RememberShop(QDir(folder).absolutePath(), firstShop);
    return ledger;
}

void FreshenDemoAgency(Database &db, Module1 &module, const QDateTime &now, Ledger *ledger)
{
    const QDate today = BusinessDate(now);
    // Another day's dice, so that another day brings other companions and callers.
    Dice dice(Seed ^ quint32(today.toJulianDay()));
    db.atomic([&] {
        ensureStatusTable(db, module);
        Agency agency(db, module, ledger);
        QVector<Caller> callers;
        for (const CustomerRecord &c : AllCustomers(db))
            callers << Caller{c, QDate(2000, 1, 1)};
        if (callers.isEmpty())
            return;
        const QDate last = LastBookingDate(db);
        QDate first = last.isValid() ? last.addDays(1) : today;
        first = std::max(first, today.addDays(-(DemoSize::HistoryDays - 1)));
        if (first <= today)
            addHistory(agency, dice, callers, first, now);
        agency.liveState(dice, callers, now);
    });
}

} // namespace rp::demo
