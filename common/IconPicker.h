// The shell's icon picker as the forms use it: a choice counts only when the user made one, and
// a system without a picker says so instead of picking for the user.
#pragma once

#include <windows.h>

#include <string>

// Opens the picker on StartFile (shorter than MAX_PATH). True only when the user chose an icon:
// then File (with "%SystemRoot%" expanded) and Index hold it. A cancel returns false; so does a
// picker that could not be shown, after one box that tells the user.
bool PickIconLocation(HWND Owner, const std::string &StartFile, std::string &File, int &Index);

// The box that says this system offers no icon picker.
void TellNoIconPicker(HWND Owner);
