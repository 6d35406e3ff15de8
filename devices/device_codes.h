// Result codes of the device exports.
#pragma once

constexpr int kDone = 0;
constexpr int kNotBound = 1;       // the automation object is not bound (nothing done)
constexpr int kLinkFailed = -1;    // the link failed (initialise) or is not open
constexpr int kNotConfigured = -2; // the serial line or the device is not configured
constexpr int kBadSlot = -5;       // a slot not handed out or not configured, or none left
constexpr int kBadPosition = -6;   // a filter position out of range
