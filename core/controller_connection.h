// The controller link shared by every device family.
#pragma once
#include <windows.h>

// The number handed to the controller's open-link call for a `port` choice.
int PortArgument(int port);

// 1 when the link is open (also when it already was), 0 on any failure.
int ConnectController();
// Closes the link and empties all four connections; the flags stay as they are.
void DisconnectController();
// Closes the link of connections retired by a disconnect under a call and
// gives them back.
void CloseRetiredLink() noexcept;
