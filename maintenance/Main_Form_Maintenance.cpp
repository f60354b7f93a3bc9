// The board's ﾃﾞｰﾀ処理 menu: the operations themselves live in Maintenance.cpp.
#include "app/Application.h"
#include "data/Module1.h"
#include "maintenance/Maintenance.h"
#include "reception/BookingStore.h"
#include "reception/Main_Form.h"

#include <QLabel>

namespace rp {

void Main_Form::mnuBackup_Click() { maintenance::Backup(m_app, this, m_maintenanceFileName); }

void Main_Form::mnuRestore_Click() { maintenance::Restore(m_app, this, m_maintenanceFileName); }

void Main_Form::mnuCompact_Click() { maintenance::Compact(m_app, this); }

void Main_Form::mnuDel_Click()
{
    if (maintenance::Purge(m_app, this) != maintenance::Outcome::Done || CurrentCustomerId == 0)
        return;
    // The customer shown must not go on listing visits that are gone (nor count them in the total), and
    // a 削除 on such a line would find nothing to delete. The booking being entered stays as it is.
    guarded([&] {
        const CustomerHistory history = LoadHistory(m_module.AppDatabase, CurrentCustomerId);
        clearHistory();
        showHistory(history);
        Label_Total->setText(FormatTotal(history.total));
    });
}

} // namespace rp
