// The animated wallpaper page: the generated lines that carry the settings and the picture list,
// followed by the player script that shows the pictures one after another.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the page and the list live (in the system folder), and the files beside them.
inline constexpr const char *WallpaperListName = "Lumagrove_wp.lst";
inline constexpr const char *WallpaperPageName = "Lumagrove_wp.html";
inline constexpr const char *WallpaperLogoName = "wplogo.gif";
inline constexpr const char *WallpaperEncoderName = "js.exe";

// The settings the generated lines carry, as the page writes them.
struct WallpaperPageSettings {
  int transition = 23;        // tranmethod: the reveal filter's transition number
  std::string transitionTime; // filtertime, seconds (checked with SecondsNumber)
  int64_t pauseMs = 20000;    // delaytime
  int screenWidth = 0;        // cx
  int screenHeight = 0;       // cy
  std::string basePath;       // the pictures folder, with "\" (turned into "/")
  std::string homePath;       // the program folder, with "\"
  bool randomBegin = true;
  bool stretch = true;
  bool showLogo = true;
  // The template: its picture and its rectangle on the 200 x 150 preview; none: full screen.
  struct Template {
    std::string picture;
    int left = 0, top = 0, width = 0, height = 0;
  };
  std::optional<Template> area;
  std::vector<std::string> pictures;
};

// "\" turned into "/", as the page's file:// addresses want them.
std::string SlashPath(const std::string &path);

// Text as a script string literal in double quotes that neither ends its string nor the page's
// script block: quotes, backslashes, line breaks and every "<" (so no "</script>" or "<!--") are
// escaped, as are other control characters.
std::string ScriptString(const std::string &text);

// The whole page, lines ending in CR LF: the generated lines, then the player script's.
std::string WallpaperPageText(const WallpaperPageSettings &settings,
                              const std::vector<std::string> &playerScript);

// Writes the page's bytes as they are in one write; false when the file could not be written
// whole (no partial page is left behind then).
bool SavePageFile(const std::string &fileName, const std::string &bytes);

// The player script and the page's body, as the form keeps them in its hidden template.
const std::vector<std::string> &PlayerScriptLines();

// The pause in milliseconds for a count of seconds, minutes (unit 60) or hours (unit 3600),
// none when it is not a whole number above 0 or longer than the script's timer takes
// (2^31 - 1 ms).
std::optional<int64_t> PauseMilliseconds(const std::string &text, int unit);
// Whole numbers typed into the form: at least minimum, decimal digits only (blanks around
// them allowed).
std::optional<int> WholeNumber(const std::string &text, int minimum);
// A number of seconds above 0, whole or with a decimal point, in the form a script reads as that
// number: no leading zeros (which make "010" octal and "01.5" no number at all), no trailing
// zeros after the point, no point without digits after it. None when the text is no such number.
std::optional<std::string> SecondsNumber(const std::string &text);
