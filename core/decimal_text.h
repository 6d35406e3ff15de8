// Reading a number that a user typed or a settings file holds.
#pragma once

// The leading decimal number of `text` (blanks, a sign, digits with an
// optional point, an optional exponent); 0.0 when the text does not start with
// one or the number does not fit a double. Hexadecimal, "inf" and "nan" are
// not decimal numbers. At most the first 31 characters of the number count.
double LeadingDecimal(const char* text);

// A step size that can stand as a calibration: a positive number.
bool IsUsableStepSize(double size);
