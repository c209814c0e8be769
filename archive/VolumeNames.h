// Names of the volumes of a multi-volume set: the ".z01" naming of split zip sets, and the
// numbered extensions (".r00", ".part02.rar", ".100") other archive kinds use.
#pragma once

#include "archive/Masks.h"

#include <cstdint>
#include <string>

namespace arc {

// The name of the volume after number Index of a set of LastIndex + 1 volumes: the current
// volume's name with the extension ".z01", ".z02" ... (Index + 1); the last volume carries the
// archive's own name.
std::string NextVolumeName(const std::string &CurrentVolume, const std::string &ArchiveFile,
                           int32_t Index, int32_t LastIndex);

// The extension of volume Number of a set named Name. VolumeLetter is the set's letter (chosen
// when its type was detected); a RAR set moves it on to the next letter each hundred volumes.
std::string VolumeExtension(TArcType Type, char &VolumeLetter, const std::string &Name,
                            int32_t Number);

// The full name of volume Number of the set Name: its folder and name up to the first dot,
// with VolumeExtension added; empty for an empty Name or a negative Number.
std::string NumberedVolumeName(TArcType Type, char &VolumeLetter, const std::string &Name,
                               int32_t Number);

} // namespace arc
