// The numbered labels of the device pages. Their texts in the templates are
// the formats ("Shutter Number: %d", "Position Number: %d"); a page keeps
// copies of them before it overwrites the labels with numbered text.
#pragma once
#include <windows.h>

// Room for a format read from a label: 79 characters and the terminator.
constexpr int kLabelFormatSize = 80;
using LabelFormat = char[kLabelFormatSize];

// Copies the text of label `id` of `page` into `format`, cut to 79 characters.
void ReadLabelFormat(HWND page, int id, LabelFormat& format);

// Sets label `id` of `page` to `format` with `number` in place of its first
// "%d". Nothing else in the format is taken as a directive but "%%".
void ShowNumberedLabel(HWND page, int id, const LabelFormat& format, long long number);
