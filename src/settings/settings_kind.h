#pragma once

// Which of the two setting lists an operation works on. The values are fixed:
// the window and the settings dialog store them as one byte.
enum class SettingsKind : unsigned char
{
    Noise = 0,
    File = 1,
};
