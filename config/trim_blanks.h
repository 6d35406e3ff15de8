// Blanks around a typed name.
#pragma once

// Cuts the spaces (not tabs) off the end of `text` in place and returns the
// text after its leading spaces; nullptr when nothing else is left or `text`
// is null.
char* TrimBlanks(char* text);
