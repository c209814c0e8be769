// File facts the archive reader needs beyond reading and writing: attributes, DOS dates, file
// existence, removal, temporary names, the current folder, self-extractor string resources and
// the message pump. Windows-style names, as in the file layer.
#pragma once

#include "archive/FileLayer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace arc {

// The attribute bits, with the system's values.
enum : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faNormal = 0x80,
  faInvalid = 0xFFFFFFFF, // what LayerGetAttributes gives for a name it cannot read
};

uint32_t LayerGetAttributes(const std::string &path);
bool LayerSetAttributes(const std::string &path, uint32_t attributes);

// A DOS date-time: the date in the high word, the time (two-second steps) in the low word.
// Which: 0 creation, 1 last write, 2 last access; the local time of the open file; 0 on failure.
uint32_t LayerFileDosDateTime(TFileHandle handle, int which);
// Sets the last-write time of the open file from a local DOS date-time.
bool LayerSetFileDosDateTime(TFileHandle handle, uint32_t dosDateTime);
// The last-write time of a named file as a local DOS date-time; 0 when it cannot be read.
uint32_t LayerFileDosDateTimeByName(const std::string &path);
// The current local date and time as a DOS date-time.
uint32_t LayerNowDosDateTime();

// Whether a file (not a folder) of that name exists.
bool LayerFileExists(const std::string &path);
bool LayerDeleteFile(const std::string &path);
// Renames From to To, which must not exist.
bool LayerMoveFile(const std::string &from, const std::string &to);
// Creates an empty file with a unique name in Folder from Prefix (the system's temporary-name
// call) and returns its name; empty on failure.
std::string LayerTempFileName(const std::string &folder, const std::string &prefix);
std::string LayerCurrentDir();

// Loads string resources 1..Count of an executable opened as a data file, each read into a buffer
// of 6 characters (at most 5 come back), stopping before the first empty one. Empty when the file
// cannot be loaded as a module (always so natively: no resources there).
std::vector<std::string> LayerModuleStrings(const std::string &fileName, int count);

// Serves the calling thread's pending window messages (nothing natively).
void LayerProcessMessages();

} // namespace arc
