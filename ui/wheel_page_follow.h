// The filter wheel page's part in the turns the host asks for (FWInit's
// homing, FWSetPosition): while the page shows the wheel, it follows.
#pragma once

// Before the turn: a name typed for the position the page shows is taken over
// for that position, as leaving the box would.
void SettlePageBeforeTurn(int slot);

// After the turn: the page selects the wheel's new position and shows its number.
void FollowTurnOnPage(int slot);
