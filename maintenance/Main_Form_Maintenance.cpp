// The board's ﾃﾞｰﾀ処理 menu: the operations themselves live in Maintenance.cpp.
#include "app/Application.h"
#include "maintenance/Maintenance.h"
#include "reception/Main_Form.h"

namespace rp {

void Main_Form::mnuBackup_Click() { maintenance::Backup(m_app, this, m_maintenanceFileName); }

void Main_Form::mnuRestore_Click() { maintenance::Restore(m_app, this, m_maintenanceFileName); }

void Main_Form::mnuCompact_Click() { maintenance::Compact(m_app, this); }

void Main_Form::mnuDel_Click() { maintenance::Purge(m_app, this); }

} // namespace rp
