// A list box of the files in one folder that match a mask and whose attributes the list
// accepts.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/forms/StdCtrls.h"

namespace tk {

enum TFileAttr : uint32_t {
  ftReadOnly = 1u << 0,
  ftHidden = 1u << 1,
  ftSystem = 1u << 2,
  ftVolumeID = 1u << 3,
  ftDirectory = 1u << 4,
  ftArchive = 1u << 5,
  ftNormal = 1u << 6, // files with none of the other marks
};
using TFileType = uint32_t;

// Items are the file names without folder, sorted; FileName is the selected one's full path.
// Changing Directory, Mask or FileType lists the folder again; ReadFileNames does so on request.
class TFileListBox : public TCustomListBox {
public:
  explicit TFileListBox(TComponent *owner);
  const char *ClassName() const override { return "TFileListBox"; }

  const std::string &Directory() const { return directory_; }
  void SetDirectory(const std::string &value);
  // Several masks separated by ";".
  const std::string &Mask() const { return mask_; }
  void SetMask(const std::string &value);
  TFileType FileType() const { return fileType_; }
  void SetFileType(TFileType value);
  // The selected file's full path; "" with no selection.
  std::string FileName() const;
  void ReadFileNames();

  // Whether a file with these FILE_ATTRIBUTE_ bits is listed under this FileType.
  static bool Accepts(TFileType fileType, DWORD attributes);

private:
  std::string directory_;
  std::string mask_ = "*.*";
  TFileType fileType_ = ftNormal;
};

} // namespace tk
