#include "toolkit/forms/Dialogs.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "toolkit/forms/Forms.h"
#include "toolkit/win32/Seams.h"

namespace tk {

namespace {

// The window a dialog belongs to: the active form, or else the application's window.
HWND DialogOwner() {
  if (Screen && Screen->ActiveForm && Screen->ActiveForm->HandleAllocated())
    return Screen->ActiveForm->HandleIfAllocated();
  return Application ? Application->Handle() : nullptr;
}

// The current folder as it was when made, put back when it goes. The Open dialog moves the
// process's current folder to wherever the user browsed, even with OFN_NOCHANGEDIR; a program
// started later by a bare name would then be looked for there first.
class TKeptCurrentFolder {
public:
  TKeptCurrentFolder() {
    DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
      return;
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = ::GetCurrentDirectoryA(DWORD(buffer.size()), buffer.data());
    if (got > 0 && got < buffer.size())
      folder_.assign(buffer.data(), got);
  }
  ~TKeptCurrentFolder() {
    if (!folder_.empty())
      ::SetCurrentDirectoryA(folder_.c_str());
  }
  TKeptCurrentFolder(const TKeptCurrentFolder &) = delete;
  TKeptCurrentFolder &operator=(const TKeptCurrentFolder &) = delete;

private:
  std::string folder_;
};

DWORD SystemFlags(TOpenOptions options) {
  static const struct {
    TOpenOption option;
    DWORD flag;
  } map[] = {
      {ofReadOnly, OFN_READONLY},
      {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},
      {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofShowHelp, OFN_SHOWHELP},
      {ofNoValidate, OFN_NOVALIDATE},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
      {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
      {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST},
      {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofShareAware, OFN_SHAREAWARE},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
      {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
      {ofNoNetworkButton, OFN_NONETWORKBUTTON},
      {ofNoLongNames, OFN_NOLONGNAMES},
      {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
      {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
      {ofEnableSizing, OFN_ENABLESIZING},
      {ofDontAddToRecent, OFN_DONTADDTORECENT},
      {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
  };
  DWORD flags = (options & ofOldStyleDialog) ? 0 : OFN_EXPLORER;
  for (const auto &m : map)
    if (options & m.option)
      flags |= m.flag;
  return flags;
}

} // namespace

TOpenDialog::TOpenDialog(TComponent *owner) : TComponent(owner) {}

bool TOpenDialog::Execute() { return Run(false); }

bool TSaveDialog::Execute() { return Run(true); }

bool TOpenDialog::Run(bool save) {
  // "text|*.txt|all|*.*" becomes the system's list of NUL-terminated strings.
  std::string filter = Filter;
  for (char &c : filter)
    if (c == '|')
      c = '\0';
  filter.append(2, '\0');

  bool multi = (Options & ofAllowMultiSelect) != 0;
  std::vector<char> buffer(multi ? 0x10000 : MAX_PATH * 2, '\0');
  if (FileName.size() < buffer.size())
    std::copy(FileName.begin(), FileName.end(), buffer.begin());

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = DWORD(FilterIndex);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = SystemFlags(Options);

  files_.Clear();
  Customize(ofn);
  bool chosen;
  {
    TKeptCurrentFolder kept;
    chosen = GetPrompts().FileDialog(ofn, save);
  }
  if (!chosen)
    return false;

  // One full path, or (several chosen) the folder and then each name.
  const char *first = buffer.data();
  const char *next = first + strlen(first) + 1;
  if (multi && *next) {
    std::string dir = first;
    if (!dir.empty() && dir.back() != '\\')
      dir += '\\';
    for (const char *name = next; *name; name += strlen(name) + 1)
      files_.Add(dir + name);
  } else {
    files_.Add(first);
  }
  FileName = files_.Strings(0);
  FilterIndex = int(ofn.nFilterIndex);
  Options = (Options & ~(ofReadOnly | ofExtensionDifferent)) |
            ((ofn.Flags & OFN_READONLY) ? TOpenOptions(ofReadOnly) : 0u) |
            ((ofn.Flags & OFN_EXTENSIONDIFFERENT) ? TOpenOptions(ofExtensionDifferent) : 0u);
  return true;
}

TColorDialog::TColorDialog(TComponent *owner) : TComponent(owner) {}

bool TColorDialog::Execute() {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) {
    std::string name = std::string("Color") + char('A' + i);
    int value = 0;
    std::string text = customColors_.Values(name);
    custom[i] = !text.empty() && TryStrToInt("$" + text, value) ? COLORREF(value) & 0xFFFFFF
                                                                : COLORREF(0xFFFFFF);
  }
  static const struct {
    TColorDialogOption option;
    DWORD flag;
  } map[] = {{cdFullOpen, CC_FULLOPEN},
             {cdPreventFullOpen, CC_PREVENTFULLOPEN},
             {cdShowHelp, CC_SHOWHELP},
             {cdSolidColor, CC_SOLIDCOLOR},
             {cdAnyColor, CC_ANYCOLOR}};
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = DialogOwner();
  cc.rgbResult = ColorToRGB(Color);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  for (const auto &m : map)
    if (Options & m.option)
      cc.Flags |= m.flag;
  if (!GetPrompts().ColorDialog(cc))
    return false;
  Color = TColor(cc.rgbResult & 0xFFFFFF);
  customColors_.BeginUpdate();
  customColors_.Clear();
  for (int i = 0; i < 16; ++i)
    customColors_.Add(std::string("Color") + char('A' + i) + "=" + IntToHex(custom[i], 6));
  customColors_.EndUpdate();
  return true;
}

void ShowMessage(const std::string &text) {
  GetPrompts().MessageBox(DialogOwner(), text, Application ? Application->Title() : "", MB_OK);
}

} // namespace tk
