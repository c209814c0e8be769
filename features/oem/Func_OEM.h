// The manufacturer information that System Properties shows: oeminfo.ini and the logo bitmap in
// the system folder, with backups of what was there before Lumagrove changed them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/Classes.h"
#include "toolkit/graphics/Graphics.h"

namespace tk {
class TImage;
class TMemo;
} // namespace tk

// The size System Properties gives the logo.
inline constexpr int OemLogoWidth = 180;
inline constexpr int OemLogoHeight = 106;

// Full paths of the files, in the real system folder (use them inside a TNativeSystemFolder).
std::string OemInfoFile();
std::string OemLogoFile();

// Raises EIniFileException when the file can't be written.
void WriteOemInfo(const std::string &Manufacturer, const std::string &Model,
                  const tk::TStringList &Lines);
// Writes the picture as the logo, stretched to 180 x 106 or at its own size. An empty picture
// writes nothing and leaves the file alone. Raises when the bitmap can't be written.
void WriteOemLogo(tk::TImage *Image, bool Stretch);
// The logo file's bitmap, or nothing when there is none (or it is no bitmap).
std::unique_ptr<tk::TBitmap> LoadOemLogo();
std::string ReadOemManufacturer();
std::string ReadOemModel();
// Fills the memo with Line1 to LineN (N the number of keys of the section) and returns them.
tk::TStringList &ReadOemSupportLines(tk::TMemo *Memo);

// The backups. Each file's original is copied aside once, before Lumagrove first changes it,
// and Config.ini (section OEM) records whether there was an original at all; that record is
// what lets Restore delete a file Lumagrove made and put back one it replaced. A backup found
// without a record (another copy of the program, a fresh Config.ini) is taken for the original:
// it is recorded, never overwritten.
// Returns false when a backup could not be made (nothing should be changed then).
bool BackupOemFiles();
// Records of an original whose backup has gone since: each is forgotten, so that the next
// backup takes the files as they are now, and the names of the missing backups are added to
// Lost for the form to tell once. Call it wherever the records are about to be used.
// Returns false when a record could not be forgotten: the next backup would take it for a
// backup made and skip the file, so nothing should be changed then.
bool ForgetLostOemBackups(std::vector<std::string> &Lost);
// Puts back what the records say, forgets them; a file without a record is left alone.
// Returns false when a file could not be put back or removed.
bool RestoreOemFiles();
