// Folder and drive customisation as the Windows shell reads it: a folder's desktop.ini (its icon,
// info tip and background view) and a drive's Autorun.inf (its icon).
//
// A target is a path: longer than 3 characters it is a folder, written without a trailing
// backslash (C:\Photos); exactly 3 characters it is a drive's root (C:\). Anything shorter is
// neither, and nothing is done for it.
#pragma once

#include <string>

#include "toolkit/graphics/Graphics.h"

// The section of the background view and the class that shows it.
inline constexpr const char *FolderViewSection = "{BE098140-A513-11D0-A3A4-00C04FD706EC}";

// Each writer returns whether everything it wrote (keys and attributes) reached the disk; a
// missing folder, a read-only medium or a target of the wrong kind gives false. The folder gains
// the System attribute and desktop.ini the Hidden attribute, which is what makes the shell read
// it; every other attribute stays as it was.

// Folder: IconFile and IconIndex in [.ShellClassInfo] of its desktop.ini. Drive root: [Autorun]
// Icon = IconFile,IconIndex in its Autorun.inf.
bool SetFolderIcon(const std::string &Folder, const std::string &IconFile, int IconIndex);
// Folder only: [.ShellClassInfo] InfoTip.
bool SetFolderInfoTip(const std::string &Folder, const std::string &InfoTip);
// Folder only: the icon texts' background and colour and the background picture, and the view
// that shows them registered under [ExtShellFolderViews]. Empty arguments are written as empty
// values.
bool SetFolderBackground(const std::string &Folder, const std::string &TextBackground,
                         const std::string &TextColor, const std::string &Image);

// Taking the settings back out. Only the keys the writers above write are removed; the file goes
// only when nothing else is left in it, and only then does the folder lose its System attribute
// (other programs' keys stay in force).
enum class TRestoreResult {
  Restored,  // our keys are gone (or there were none in a folder's desktop.ini)
  NoFile,    // a drive without Autorun.inf: nothing to do
  Failed,    // the file or the attributes could not be changed
  NotTarget, // neither a folder nor a drive's root
};
TRestoreResult RestoreFolder(const std::string &Folder);

// Colours of the icon texts are stored as "0x" and eight upper-case hexadecimal digits of the
// value 00BBGGRR.
std::string FolderColorText(tk::TColor Color);
// Reads such a text back (its first two characters are dropped and the rest read as a
// hexadecimal number); false when it is not a colour of that form.
bool ReadFolderColorText(const std::string &Text, tk::TColor &Color);
