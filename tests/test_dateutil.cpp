#include "data/DateUtil.h"

#include <QTest>

using namespace rp;

class TestDateUtil : public QObject
{
    Q_OBJECT

private slots:
    void parseTime_data();
    void parseTime();
    void formatting();
    void addMinutesWrapping_data();
    void addMinutesWrapping();
    void businessDate_data();
    void businessDate();
    void remainingMinutes_data();
    void remainingMinutes();
    void monthBounds_data();
    void monthBounds();
    void typedPeriod_data();
    void typedPeriod();
    void twoDigitYearDate_data();
    void twoDigitYearDate();
};

void TestDateUtil::parseTime_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QTime>("expected"); // invalid: refused

    QTest::newRow("h:mm") << "9:05" << QTime(9, 5);
    QTest::newRow("hh:mm") << "09:05" << QTime(9, 5);
    QTest::newRow("late") << "23:59" << QTime(23, 59);
    QTest::newRow("midnight") << "0:00" << QTime(0, 0);
    QTest::newRow("with seconds") << "23:30:15" << QTime(23, 30, 15);
    QTest::newRow("short hour with seconds") << "1:02:03" << QTime(1, 2, 3);
    QTest::newRow("blanks around") << " 22:00 " << QTime(22, 0);

    QTest::newRow("24:00") << "24:00" << QTime();
    QTest::newRow("25:00") << "25:00" << QTime();
    QTest::newRow("minute 60") << "10:60" << QTime();
    QTest::newRow("second 60") << "10:00:60" << QTime();
    QTest::newRow("one-digit minutes") << "9:5" << QTime();
    QTest::newRow("three-digit hour") << "009:05" << QTime();
    QTest::newRow("one-digit seconds") << "9:05:1" << QTime();
    QTest::newRow("pm") << "PM10:00" << QTime();
    QTest::newRow("hour only") << "10" << QTime();
    QTest::newRow("empty") << "" << QTime();
    QTest::newRow("letters") << "ab:cd" << QTime();
    QTest::newRow("negative") << "-1:00" << QTime();
    QTest::newRow("dot separator") << "10.30" << QTime();
    QTest::newRow("full-width needs converting") << QStringLiteral("２３：３０") << QTime();
}

void TestDateUtil::parseTime()
{
    QFETCH(QString, input);
    QFETCH(QTime, expected);

    const std::optional<QTime> parsed = ParseTime(input);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed)
        QCOMPARE(*parsed, expected);
}

void TestDateUtil::formatting()
{
    QCOMPARE(FormatHHMM(QTime(9, 5, 59)), QStringLiteral("09:05"));
    QCOMPARE(FormatHHMM(QTime(23, 0)), QStringLiteral("23:00"));
    QCOMPARE(FormatHHMM(QTime()), QString());
    QCOMPARE(IsoDate(QDate(2005, 9, 7)), QStringLiteral("2005-09-07"));
    QCOMPARE(IsoTime(QTime(21, 5, 3)), QStringLiteral("21:05:03"));
    QCOMPARE(IsoTime(QTime(0, 0)), QStringLiteral("00:00:00"));
}

void TestDateUtil::addMinutesWrapping_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QTime>("expected");

    QTest::newRow("same day") << QTime(20, 0) << 90 << QTime(21, 30);
    QTest::newRow("past midnight") << QTime(23, 30) << 120 << QTime(1, 30);
    QTest::newRow("back over midnight") << QTime(0, 10) << -20 << QTime(23, 50);
    QTest::newRow("to midnight") << QTime(23, 0) << 60 << QTime(0, 0);
    QTest::newRow("whole day") << QTime(12, 0) << 1440 << QTime(12, 0);
    QTest::newRow("several days back") << QTime(12, 0) << -3 * 1440 - 30 << QTime(11, 30);
    QTest::newRow("no int overflow") << QTime(0, 0) << 2147483647 << QTime(2, 7);
}

void TestDateUtil::addMinutesWrapping()
{
    QFETCH(QTime, start);
    QFETCH(int, minutes);
    QFETCH(QTime, expected);
    QCOMPARE(AddMinutesWrapping(start, minutes), expected);
}

void TestDateUtil::businessDate_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("04:59:59 is the day before")
        << QDateTime(QDate(2005, 10, 1), QTime(4, 59, 59)) << QDate(2005, 9, 30);
    QTest::newRow("05:00:00 is the new day")
        << QDateTime(QDate(2005, 10, 1), QTime(5, 0)) << QDate(2005, 10, 1);
    QTest::newRow("midnight") << QDateTime(QDate(2005, 10, 1), QTime(0, 0)) << QDate(2005, 9, 30);
    QTest::newRow("late evening") << QDateTime(QDate(2005, 10, 1), QTime(23, 59, 59)) << QDate(2005, 10, 1);
    QTest::newRow("new year's small hours")
        << QDateTime(QDate(2006, 1, 1), QTime(3, 0)) << QDate(2005, 12, 31);
    QTest::newRow("1 March in a leap year")
        << QDateTime(QDate(2004, 3, 1), QTime(1, 0)) << QDate(2004, 2, 29);
}

void TestDateUtil::businessDate()
{
    QFETCH(QDateTime, now);
    QFETCH(QDate, expected);
    QCOMPARE(BusinessDate(now), expected);
}

void TestDateUtil::remainingMinutes_data()
{
    QTest::addColumn<QTime>("end");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("expected");

    QTest::newRow("an hour") << QTime(13, 0) << QTime(12, 0) << 60;
    QTest::newRow("seconds dropped") << QTime(10, 0) << QTime(9, 58, 30) << 1;
    QTest::newRow("ends now") << QTime(10, 0) << QTime(10, 0) << 0;
    QTest::newRow("last seconds") << QTime(10, 0) << QTime(9, 59, 1) << 0;
    QTest::newRow("across midnight") << QTime(0, 10) << QTime(23, 50) << 20;
    QTest::newRow("across midnight, seconds dropped") << QTime(0, 10) << QTime(23, 50, 30) << 19;
    QTest::newRow("end already passed") << QTime(12, 0) << QTime(12, 30) << 1410;
    QTest::newRow("passed a second ago") << QTime(12, 0) << QTime(12, 0, 1) << 1439;
    QTest::newRow("invalid end") << QTime() << QTime(12, 0) << 0;
}

void TestDateUtil::remainingMinutes()
{
    QFETCH(QTime, end);
    QFETCH(QTime, now);
    QFETCH(int, expected);
    QCOMPARE(RemainingMinutes(end, now), expected);
}

void TestDateUtil::monthBounds_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<QDate>("last");

    QTest::newRow("February, leap year") << 2004 << 2 << QDate(2004, 2, 29);
    QTest::newRow("February, common year") << 2005 << 2 << QDate(2005, 2, 28);
    QTest::newRow("February 2000") << 2000 << 2 << QDate(2000, 2, 29);
    QTest::newRow("February 2100") << 2100 << 2 << QDate(2100, 2, 28);
    QTest::newRow("April") << 2005 << 4 << QDate(2005, 4, 30);
    QTest::newRow("December") << 2005 << 12 << QDate(2005, 12, 31);
    QTest::newRow("January") << 2006 << 1 << QDate(2006, 1, 31);
}

void TestDateUtil::monthBounds()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(QDate, last);
    QCOMPARE(MonthFirst(year, month), QDate(year, month, 1));
    QCOMPARE(MonthLast(year, month), last);
}

void TestDateUtil::typedPeriod_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QDate>("first"); // invalid: refused
    QTest::addColumn<QDate>("last");

    QTest::newRow("day") << "05/09/07" << QDate(2005, 9, 7) << QDate(2005, 9, 7);
    QTest::newRow("leap day") << "04/02/29" << QDate(2004, 2, 29) << QDate(2004, 2, 29);
    QTest::newRow("month") << "05/02" << QDate(2005, 2, 1) << QDate(2005, 2, 28);
    QTest::newRow("leap February") << "04/02" << QDate(2004, 2, 1) << QDate(2004, 2, 29);
    QTest::newRow("December") << "05/12" << QDate(2005, 12, 1) << QDate(2005, 12, 31);
    QTest::newRow("year") << "05" << QDate(2005, 1, 1) << QDate(2005, 12, 31);
    QTest::newRow("year 2000") << "00" << QDate(2000, 1, 1) << QDate(2000, 12, 31);

    QTest::newRow("four-digit year") << "2005" << QDate() << QDate();
    QTest::newRow("short day parts") << "5/9/07" << QDate() << QDate();
    QTest::newRow("shorter still") << "5/9/7" << QDate() << QDate();
    QTest::newRow("empty") << "" << QDate() << QDate();
    QTest::newRow("month 13") << "05/13" << QDate() << QDate();
    QTest::newRow("month 0") << "05/00" << QDate() << QDate();
    QTest::newRow("30 February") << "05/02/30" << QDate() << QDate();
    QTest::newRow("29 February, common year") << "05/02/29" << QDate() << QDate();
    QTest::newRow("letters") << "ab" << QDate() << QDate();
    QTest::newRow("other separator") << "05-09-07" << QDate() << QDate();
    QTest::newRow("not trimmed") << " 05" << QDate() << QDate();
    QTest::newRow("month not digits") << "05/1a" << QDate() << QDate();
    QTest::newRow("eight characters, wrong shape") << "5/09/007" << QDate() << QDate();
}

void TestDateUtil::typedPeriod()
{
    QFETCH(QString, input);
    QFETCH(QDate, first);
    QFETCH(QDate, last);

    const std::optional<Period> period = ReadTypedPeriod(input);
    QCOMPARE(period.has_value(), first.isValid());
    if (period) {
        QCOMPARE(period->first, first);
        QCOMPARE(period->last, last);
    }
}

void TestDateUtil::twoDigitYearDate_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QDate>("expected"); // invalid: refused

    QTest::newRow("date") << "05/09/30" << QDate(2005, 9, 30);
    QTest::newRow("new year") << "06/01/01" << QDate(2006, 1, 1);
    QTest::newRow("single-digit month") << "05/9/30" << QDate();
    QTest::newRow("four-digit year") << "2005/9/30" << QDate();
    QTest::newRow("no such day") << "05/09/31" << QDate();
    QTest::newRow("blank inside") << "05/09/ 1" << QDate();
    QTest::newRow("month only") << "05/09" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestDateUtil::twoDigitYearDate()
{
    QFETCH(QString, input);
    QFETCH(QDate, expected);

    const std::optional<QDate> date = ReadTwoDigitYearDate(input);
    QCOMPARE(date.has_value(), expected.isValid());
    if (date)
        QCOMPARE(*date, expected);
}

QTEST_APPLESS_MAIN(TestDateUtil)
#include "test_dateutil.moc"
