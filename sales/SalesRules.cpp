#include "sales/SalesRules.h"

namespace rp {

FixedPeriods SalesPeriods(const QDateTime &now)
{
    const QDate today = BusinessDate(now);
    const QDate yesterday = today.addDays(-1);
    const QDate calendar = now.date();
    const QDate previous = calendar.addMonths(-1);
    return FixedPeriods{
        Period{today, today},
        Period{yesterday, yesterday},
        Period{MonthFirst(calendar.year(), calendar.month()), MonthLast(calendar.year(), calendar.month())},
        Period{MonthFirst(previous.year(), previous.month()), MonthLast(previous.year(), previous.month())},
    };
}

} // namespace rp
