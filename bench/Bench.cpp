#include "bench/Bench.h"

#include "data/Database.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

namespace rp::bench {

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

std::vector<std::pair<QString, std::function<void()>>> &sections()
{
    static std::vector<std::pair<QString, std::function<void()>>> list;
    return list;
}

void generate(const QString &path)
{
    out() << "Generating the 10-year agency file (once): " << path << Qt::endl;
    QFile::remove(path);
    Database::createFile(path);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-generate"));
    db.setDatabaseName(path);
    db.open();
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode=OFF;"));
        q.exec(QStringLiteral("PRAGMA synchronous=OFF;"));
        db.transaction();
        std::mt19937 rng(20261208u);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

        // Shops with full tariffs: four courses of six durations and fifteen options.
        QStringList cols = ColumnNames(ShopTable()).mid(2);   // without 店舗ID and 削除FLAG
        for (int s = 1; s <= Agency::Shops; ++s) {
            QVariantList v;
            v << QStringLiteral("店舗%1").arg(s);
            for (int c = 1; c <= 4; ++c) {
                v << QStringLiteral("コース%1").arg(c);
                for (int j = 1; j <= 6; ++j)
                    v << QString::number(30 * j) << (8000 + 2000 * j + 1000 * c);
                v << 40 + c;
            }
            for (int o = 1; o <= 15; ++o)
                v << QStringLiteral("OP%1").arg(o) << 1000 * o << (o % 3 == 0 ? 0 : 50);
            v << 30 << 5000 << 40 << 2000 << 50 << 3000 << 50 << 40 << 10;
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i)
                marks << QStringLiteral("?");
            QSqlQuery ins(db);
            ins.prepare(QStringLiteral("INSERT INTO \"店舗\"(") + Quoted(cols) + QStringLiteral(") VALUES(")
                        + marks.join(QLatin1Char(',')) + QStringLiteral(");"));
            for (const QVariant &x : v)
                ins.addBindValue(x);
            ins.exec();
        }

        // Companions with names at one to three shops.
        QSqlQuery comp(db);
        comp.prepare(QStringLiteral("INSERT INTO \"コンパニオン\"(\"源氏名\",\"店舗1ID\",\"名前1\",\"オプション1\",\"店舗2ID\",\"名前2\",\"オプション2\","
                                    "\"店舗3ID\",\"名前3\",\"オプション3\",\"店舗4ID\",\"名前4\",\"オプション4\",\"店舗5ID\",\"名前5\",\"オプション5\","
                                    "\"年齢\",\"C1割増\",\"OP割増\") VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);"));
        std::vector<std::vector<int>> shopsOf(Agency::Companions + 1);
        for (int g = 1; g <= Agency::Companions; ++g) {
            comp.addBindValue(QStringLiteral("源氏%1").arg(g));
            const int first = (g - 1) % Agency::Shops + 1;
            const int count = 1 + g % 3;
            for (int s = 1; s <= Agency::Shops; ++s) {
                const bool works = (s - first + Agency::Shops) % Agency::Shops < count;
                comp.addBindValue(s);
                comp.addBindValue(works ? QVariant(QStringLiteral("名%1-%2").arg(g).arg(s)) : QVariant(QMetaType(QMetaType::QString)));
                comp.addBindValue(works ? pick(0, 32767) : 0);
                if (works)
                    shopsOf[g].push_back(s);
            }
            comp.addBindValue(pick(18, 40));
            comp.addBindValue(pick(0, 10));
            comp.addBindValue(0);
            comp.exec();
        }

        QSqlQuery cust(db);
        cust.prepare(QStringLiteral("INSERT INTO \"顧客\"(\"名前\",\"TEL\",\"ランク\",\"備考\") VALUES(?,?,?,?);"));
        const QStringList ranks{QStringLiteral("上"), QStringLiteral("並"), QStringLiteral("下"), QStringLiteral("危険")};
        for (int c = 1; c <= Agency::Customers; ++c) {
            cust.addBindValue(QStringLiteral("顧客%1").arg(c));
            cust.addBindValue(QStringLiteral("090%1").arg(c, 8, 10, QLatin1Char('0')));
            cust.addBindValue(ranks[c % 4]);
            cust.addBindValue(c % 7 == 0 ? QVariant(QStringLiteral("備考%1").arg(c)) : QVariant(QMetaType(QMetaType::QString)));
            cust.exec();
        }

        // History: customer 1 has 500 visits, customer 2 has 10, the rest are spread over the others.
        QSqlQuery hist(db);
        hist.prepare(QStringLiteral("INSERT INTO \"履歴\"(\"顧客ID\",\"店舗ID\",\"コンパニオンID\",\"年月日\",\"開始時刻\",\"終了時刻\",\"場所\","
                                    "\"コース名\",\"オプション\",\"延長\",\"指名\",\"キャンセル\",\"店売上\",\"コンパニオン支払\") "
                                    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?);"));
        const QDate firstDay(2016, 12, 1);
        const int days = int(firstDay.daysTo(QDate::fromString(Agency::lastDay(), Qt::ISODate))) + 1;
        std::vector<int> dayOf(Agency::HistoryRows);
        for (int &d : dayOf)
            d = pick(0, days - 1);
        std::sort(dayOf.begin(), dayOf.end());   // rows arrive in date order, as bookings do
        for (int i = 0; i < Agency::HistoryRows; ++i) {
            int customer;
            if (i % 2000 == 0)
                customer = 1;
            else if (i % 100000 == 1)
                customer = 2;
            else
                customer = pick(3, Agency::Customers);
            const int g = pick(1, Agency::Companions);
            const int shop = shopsOf[g][pick(0, int(shopsOf[g].size()) - 1)];
            const int startMin = pick(18 * 60, 27 * 60) % (24 * 60);
            const int length = 30 * pick(1, 6);
            const bool cancelled = pick(0, 49) == 0;
            const int fee = cancelled ? 3000 : 8000 + 2000 * (length / 30) + 1000 * pick(1, 4);
            hist.addBindValue(customer);
            hist.addBindValue(shop);
            hist.addBindValue(g);
            hist.addBindValue(firstDay.addDays(dayOf[i]).toString(Qt::ISODate));
            hist.addBindValue(QStringLiteral("%1:%2:00").arg(startMin / 60, 2, 10, QLatin1Char('0')).arg(startMin % 60, 2, 10, QLatin1Char('0')));
            const int endMin = (startMin + length) % (24 * 60);
            hist.addBindValue(QStringLiteral("%1:%2:00").arg(endMin / 60, 2, 10, QLatin1Char('0')).arg(endMin % 60, 2, 10, QLatin1Char('0')));
            hist.addBindValue(QStringLiteral("ホテル%1").arg(pick(1, 200)));
            hist.addBindValue(QStringLiteral("コース%1..%2").arg(pick(1, 4)).arg(length));
            hist.addBindValue(pick(0, 7));
            hist.addBindValue(pick(0, 3) == 0 ? QVariant(30) : QVariant(QMetaType(QMetaType::Int)));
            hist.addBindValue(pick(0, 1));
            hist.addBindValue(cancelled ? 1 : 0);
            hist.addBindValue(fee);
            hist.addBindValue(fee * 6 / 10);
            hist.exec();
        }

        // The board's working table, as a start-up after a first run leaves it.
        q.exec(CreateStatusTableSql());
        q.exec(QStringLiteral("INSERT INTO \"現在状況\"(\"店舗ID\",\"コンパニオンID\",\"源氏名\",\"名前\",\"オプション\") "
                              "SELECT s.\"店舗ID\", c.\"コンパニオンID\", c.\"源氏名\", "
                              "CASE s.\"店舗ID\" WHEN 1 THEN c.\"名前1\" WHEN 2 THEN c.\"名前2\" WHEN 3 THEN c.\"名前3\" WHEN 4 THEN c.\"名前4\" ELSE c.\"名前5\" END, "
                              "CASE s.\"店舗ID\" WHEN 1 THEN c.\"オプション1\" WHEN 2 THEN c.\"オプション2\" WHEN 3 THEN c.\"オプション3\" WHEN 4 THEN c.\"オプション4\" ELSE c.\"オプション5\" END "
                              "FROM \"店舗\" s, \"コンパニオン\" c WHERE CASE s.\"店舗ID\" WHEN 1 THEN c.\"名前1\" WHEN 2 THEN c.\"名前2\" WHEN 3 THEN c.\"名前3\" WHEN 4 THEN c.\"名前4\" ELSE c.\"名前5\" END IS NOT NULL;"));
        db.commit();
        q.exec(QStringLiteral("ANALYZE;"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench-generate"));
}

double median(QVector<double> v)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

QString Agency::file()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/agency-v1.mdb");
    if (!QFileInfo::exists(path)) {
        generate(path + QStringLiteral(".new"));
        QFile::rename(path + QStringLiteral(".new"), path);
    }
    return path;
}

QString Agency::freshFolder(const QString &name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data/") + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    QFile::copy(file(), dir + QStringLiteral("/rosterpad.mdb"));
    return dir;
}

Timing Measure(const QString &name, int runs, const std::function<void()> &action, const std::function<void()> &bare,
             Target target)
{
    auto time = [](const std::function<void()> &fn, int n) {
        QVector<double> ms;
        fn();   // warm-up
        for (int i = 0; i < n; ++i) {
            QElapsedTimer t;
            t.start();
            fn();
            ms << t.nsecsElapsed() / 1e6;
        }
        return ms;
    };
    const QVector<double> a = time(action, runs);
    const double med = median(a);
    const double worst = *std::max_element(a.begin(), a.end());
    const double bareMed = bare ? median(time(bare, runs)) : 0;
    const double ratio = bareMed > 0 ? med / bareMed : 0;
    bool met = med <= target.medianMs;
    if (target.worstMs > 0)
        met = met && worst <= target.worstMs;
    if (target.maxRatio > 0 && bareMed > 0)
        met = met && ratio <= target.maxRatio;
    QString goal = QStringLiteral("median ≤ %1 ms").arg(target.medianMs);
    if (target.worstMs > 0)
        goal += QStringLiteral(", worst ≤ %1 ms").arg(target.worstMs);
    if (target.maxRatio > 0)
        goal += QStringLiteral(", ≤ %1x bare").arg(target.maxRatio);
    out() << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 |")
                 .arg(name)
                 .arg(runs)
                 .arg(med, 0, 'f', 2)
                 .arg(worst, 0, 'f', 2)
                 .arg(bare ? QString::number(bareMed, 'f', 2) : QStringLiteral("-"))
                 .arg(bareMed > 0 ? QString::number(ratio, 'f', 1) + QLatin1Char('x') : QStringLiteral("-"))
                 .arg(goal)
                 .arg(met ? QStringLiteral("met") : QStringLiteral("**missed**"))
          << Qt::endl;
    return {med, worst};
}

Section::Section(const QString &name, std::function<void()> body)
{
    sections().emplace_back(name, std::move(body));
}

int RunSections(const QStringList &wanted)
{
    Agency::file();
    out() << Qt::endl
          << "| action | runs | median ms | worst ms | bare SQL median ms | ratio | target | |" << Qt::endl
          << "|---|---|---|---|---|---|---|---|" << Qt::endl;
    for (const auto &[name, body] : sections())
        if (wanted.isEmpty() || wanted.contains(name))
            body();
    return 0;
}

} // namespace rp::bench
