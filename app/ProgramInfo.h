#pragma once

// The program's name, version and addresses: one constant each, shared by the
// main window, its message boxes, the about box and the help menu.

inline constexpr const char* kProgramVersion = "2.38";
inline constexpr const char* kMessageCaption = "Orvo";
inline constexpr const char* kSupportAddress = "mailto:support@brimlow.example";
inline constexpr const char* kWebAddress = "https://www.brimlow.example/orvo";
