#pragma once

class QObject;

namespace rp {

// Enter on a focused push button presses it, in every window of the program, as Space does.
// The handler lives as long as owner.
void InstallEnterPressesButtons(QObject *owner);

} // namespace rp
