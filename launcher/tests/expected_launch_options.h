// The resolution list and the six toggles with the pieces they add to the game's command line,
// written out once more for the tests, by hand and not from the launcher's own tables.
#pragma once

namespace launcher_expected {

// In list order: entry n is resolution index n.
struct Resolution {
  const char* text;
  const char* piece;
};
constexpr Resolution kResolutions[] = {
    {"800x600", " -d v0 "},
    {"1024x786", " -d v1 "},
    {"1280x1024", " -d v2 "},
    {"1400x1050", " -d v3 "},
    {"1600x1200", " -d v4 "},
    {"1900x1200", " -d v5 "},
    {"Wide 1280x720 ", " -d v6 "},  // the blank at the end is part of the text
    {"Wide 1280x768", " -d v7 "},
    {"Wide 1360x768", " -d v8 "},
    {"Wide 1440x900", " -d v9 "},
    {"Wide 1680x1050", " -d v10 "},
    {"Wide 1920x1080", " -d v11 "},
};

// Check1 .. Check6: the piece each adds, and the check state in which it adds it.
struct Toggle {
  const char* name;
  const char* piece;
  int addedWhen;
};
constexpr Toggle kToggles[] = {
    {"Check1", " -d winmode", 1},
    {"Check2", " -d noshaders", 0},
    {"Check3", " -d noshadow", 0},
    {"Check4", " -d nosprite", 0},
    {"Check5", " -d nocloud", 0},
    {"Check6", " -d noglow", 0},
};

}  // namespace launcher_expected
