// Volume names of multi-volume sets.
#include "archive/VolumeNames.h"

#include "toolkit/core/SysUtils.h"

#include <cstdio>

namespace arc {

namespace {
bool IsRar(TArcType type) { return type == atRar || type == atRarExe; }

bool StartsWithPart(const std::string &extension) {
  return extension.size() >= 5 && tk::SameText(extension.substr(0, 5), ".part");
}

// Name up to the first dot of its file name; the folder stays whole, dots and all.
std::string UpToFirstDot(const std::string &name) {
  std::string folder = tk::ExtractFilePath(name);
  std::string file = name.substr(folder.size());
  return folder + file.substr(0, file.find('.'));
}
} // namespace

std::string NextVolumeName(const std::string &CurrentVolume, const std::string &ArchiveFile,
                           int32_t Index, int32_t LastIndex) {
  if (Index >= LastIndex)
    return ArchiveFile;
  char extension[16];
  std::snprintf(extension, sizeof extension, ".z%2.2d", Index + 1);
  return tk::ChangeFileExt(CurrentVolume, extension);
}

std::string VolumeExtension(TArcType Type, char &VolumeLetter, const std::string &Name,
                            int32_t Number) {
  if (Number < 0)
    return std::string();
  if (IsRar(Type)) {
    std::string extension = tk::ExtractFileExt(Name);
    if (extension.size() >= 6 && StartsWithPart(extension)) {
      int width = static_cast<int>(extension.size() - 5);
      char digits[32];
      std::snprintf(digits, sizeof digits, "%0*d", width, Number + 2);
      return std::string(".part") + digits + ".rar";
    }
    Number %= 100;
    if (Number == 0)
      ++VolumeLetter;
  }
  std::string number = std::to_string(Number);
  if (Number < 10)
    return std::string(".") + VolumeLetter + "0" + number;
  if (Number < 100)
    return std::string(".") + VolumeLetter + number;
  return "." + number;
}

std::string NumberedVolumeName(TArcType Type, char &VolumeLetter, const std::string &Name,
                               int32_t Number) {
  if (Name.empty() || Number < 0)
    return std::string();
  std::string base = UpToFirstDot(Name);
  std::string extension = VolumeExtension(Type, VolumeLetter, base, Number);
  if (IsRar(Type) && extension.size() > 5 && StartsWithPart(extension))
    base = UpToFirstDot(base);
  return base + extension;
}

} // namespace arc
