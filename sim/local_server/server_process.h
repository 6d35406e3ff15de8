// The local server's run: its classes offered to COM and its messages served
// until nothing is in use any more.
#pragma once

// Returns the process exit code: 0 after a normal end.
int Serve();
