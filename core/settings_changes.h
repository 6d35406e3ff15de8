// The changes the pages and the defaults make to DriverSettings, besides the
// step-size choices (core/step_choices.h). A page writes a changed setting's
// key at once; the defaults change settings in memory and store them
// afterwards with their device records.
#pragma once

enum class KeyWrite { Later, Now };

void SetPort(int port, KeyWrite write);
// The baud rate becomes the BaudRateTable entry at `index` (0 to 3).
void SetBaudIndex(int index, KeyWrite write);
void SetStopBits(int bits, KeyWrite write);
void SetParity(int parity, KeyWrite write);
void SetFocusStepIndex(int index);

// The "Has AutoFocus" box: the page reads the flag from the file, where a
// missing key means no auto-focus, and notes that the focus drive has a
// joystick; the user's choice is stored at once.
void ReadAutoFocusForPage();
void ChooseAutoFocus(int flag);

// Stores the focus step choice and puts its size in effect when the list
// offers it.
void StoreFocusStep();
