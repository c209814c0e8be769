#include "toolkit/forms/FileCtrl.h"

#include "toolkit/core/SysUtils.h"

namespace tk {

TFileListBox::TFileListBox(TComponent *owner) : TCustomListBox(owner) { SetSorted(true); }

void TFileListBox::SetDirectory(const std::string &value) {
  directory_ = value;
  ReadFileNames();
}

void TFileListBox::SetMask(const std::string &value) {
  mask_ = value.empty() ? "*.*" : value;
  ReadFileNames();
}

void TFileListBox::SetFileType(TFileType value) {
  fileType_ = value;
  ReadFileNames();
}

std::string TFileListBox::FileName() const {
  int index = ItemIndex();
  if (index < 0 || index >= Items().Count())
    return std::string();
  return IncludeTrailingBackslash(directory_) + Items().Strings(index);
}

bool TFileListBox::Accepts(TFileType fileType, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return fileType & ftDirectory;
  // Each mark the file carries must be one the list accepts. The archive mark says only that
  // the file changed since a backup: a file with no other mark is a normal one.
  struct Mark {
    DWORD attribute;
    TFileAttr type;
  };
  static const Mark marks[] = {{FILE_ATTRIBUTE_READONLY, ftReadOnly},
                               {FILE_ATTRIBUTE_HIDDEN, ftHidden},
                               {FILE_ATTRIBUTE_SYSTEM, ftSystem}};
  bool marked = false;
  for (const Mark &m : marks) {
    if (!(attributes & m.attribute))
      continue;
    marked = true;
    if (!(fileType & m.type))
      return false;
  }
  return marked || (fileType & ftNormal) ||
         ((attributes & FILE_ATTRIBUTE_ARCHIVE) && (fileType & ftArchive));
}

void TFileListBox::ReadFileNames() {
  TStringList names;
  if (!directory_.empty()) {
    std::string folder = IncludeTrailingBackslash(directory_);
    size_t start = 0;
    while (start <= mask_.size()) {
      size_t end = mask_.find(';', start);
      if (end == std::string::npos)
        end = mask_.size();
      std::string mask = Trim(mask_.substr(start, end - start));
      start = end + 1;
      if (mask.empty())
        continue;
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((folder + mask).c_str(), &found);
      if (search == INVALID_HANDLE_VALUE)
        continue;
      do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
          continue;
        if (Accepts(fileType_, found.dwFileAttributes) && names.IndexOf(name) < 0)
          names.Add(name);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  names.Sort();
  Items().BeginUpdate();
  Items().Clear();
  for (int i = 0; i < names.Count(); ++i)
    Items().Add(names.Strings(i));
  Items().EndUpdate();
}

} // namespace tk
