#include "features/xplook/UnitFrmXPLook.h"

#include <cstdint>

#include "app/UnitMain.h"
#include "common/RegUnit.h"
#include "common/Translation.h"
#include "toolkit/forms/FormBuild.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/Seams.h"

using namespace tk;

TFrmXPLook *FrmXPLook = nullptr;

namespace {

// Lines 3 and 9 are filled in for each program: its identity, and the architecture of the
// common controls it must load (a 64-bit program can't load the 32-bit ones).
const char *const Template[] = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
    "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"X86\" "
    "name=\"Company.Product.XP_Visual.exe\" ",
    "type=\"win32\" />",
    "<description>WindowsExecutable</description>",
    "<dependency>",
    "<dependentAssembly>",
    "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
    "version=\"6.0.0.0\" ",
    "processorArchitecture=\"X86\" ",
    "publicKeyToken=\"6595b64144ccf1df\" language=\"*\" />",
    "</dependentAssembly>",
    "</dependency>",
    "</assembly>",
};

// The program's name as the manifest's first line promises: UTF-8, with XML's special
// characters escaped.
std::string XmlName(const std::string &ansi) {
  std::wstring wide(ansi.size(), L'\0');
  int n =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), int(wide.size()));
  wide.resize(n > 0 ? n : 0);
  int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes > 0 ? bytes : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), int(utf8.size()),
                      nullptr, nullptr);
  std::string escaped;
  for (char c : utf8) {
    switch (c) {
    case '&':
      escaped += "&amp;";
      break;
    case '<':
      escaped += "&lt;";
      break;
    case '>':
      escaped += "&gt;";
      break;
    case '"':
      escaped += "&quot;";
      break;
    case '\'':
      escaped += "&apos;";
      break;
    default:
      escaped += c;
    }
  }
  return escaped;
}

std::string ManifestOf(const std::string &program) { return program + ".manifest"; }

} // namespace

std::string ProgramArchitecture(const std::string &FileName) {
  HANDLE file = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return std::string();
  auto read = [file](LONG offset, void *buffer, DWORD size) {
    DWORD got = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, buffer, size, &got, nullptr) && got == size;
  };
  // The DOS header points to the PE signature, which the machine field follows.
  char mz[2] = {};
  uint32_t peOffset = 0;
  char pe[6] = {};
  bool ok = read(0, mz, 2) && mz[0] == 'M' && mz[1] == 'Z' && read(0x3C, &peOffset, 4) &&
            peOffset < 0x10000000 && read(LONG(peOffset), pe, 6) && pe[0] == 'P' && pe[1] == 'E' &&
            pe[2] == 0 && pe[3] == 0;
  CloseHandle(file);
  if (!ok)
    return std::string();
  uint16_t machine = uint16_t(uint8_t(pe[4]) | uint8_t(pe[5]) << 8);
  switch (machine) {
  case IMAGE_FILE_MACHINE_I386:
    return "X86";
  case IMAGE_FILE_MACHINE_AMD64:
    return "amd64";
  case IMAGE_FILE_MACHINE_IA64:
    return "ia64";
  case 0xAA64:
    return "arm64";
  default:
    return std::string();
  }
}

void TFrmXPLook::Build() {
  SetFormName(this, "FrmXPLook");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  Position = poScreenCenter;
  SetCaption("Applications");
  SetClientSize(480, 372);

  LG_PLACE(GroupBox1, TGroupBox, this, 8, 8, 464, 92, "Add XP Visual Style Support");
  // The buttons are wide enough for the German "Durchsuchen...".
  LG_PLACE(Edit1, TEdit, GroupBox1, 12, 26, 334, 21, nullptr);
  Edit1->Tag = 255;
  LG_PLACE(BitBtn1, TBitBtn, GroupBox1, 356, 24, 96, 26, "Browse...");
  BitBtn1->SetDefault(true);
  LG_PLACE(BitBtn4, TBitBtn, GroupBox1, 356, 56, 96, 26, "Add");

  LG_PLACE(GroupBox2, TGroupBox, this, 8, 108, 464, 92, "Remove Visual Styles Support");
  LG_PLACE(Edit2, TEdit, GroupBox2, 12, 26, 334, 21, nullptr);
  Edit2->Tag = 255;
  LG_PLACE(BitBtn2, TBitBtn, GroupBox2, 356, 24, 96, 26, "Browse...");
  LG_PLACE(BitBtn3, TBitBtn, GroupBox2, 356, 56, 96, 26, "Remove");

  LG_PLACE(GroupBox3, TGroupBox, this, 8, 208, 464, 156, "Introduction");
  LG_PLACE(Label1, TLabel, GroupBox3, 12, 24, 440, 90, nullptr);
  Label1->SetWordWrap(true);
  Label1->SetCaption(
      "Programs made before Windows XP draw their buttons and lists in the old, flat style. "
      "Lumagrove can place a manifest beside such a program that asks Windows for the XP "
      "visual styles; the program then looks like the rest of the system. Should it misbehave, "
      "Remove takes the manifest away again.");
  LG_PLACE(BitBtn5, TBitBtn, GroupBox3, 364, 120, 88, 26, "Help");

  // The manifest's template, kept as working data.
  LG_PLACE(Memo1, TMemo, this, 0, 0, 10, 10, nullptr);
  Memo1->SetVisible(false);
  Memo1->Tag = 255;
  for (const char *line : Template)
    Memo1->Lines().Add(line);

  LG_NEW(OpenDialog1, TOpenDialog, this);
  OpenDialog1->Filter = "*.exe|*.exe";

  BitBtn1->OnClick = Bind(this, &TFrmXPLook::BitBtn1Click);
  BitBtn2->OnClick = Bind(this, &TFrmXPLook::BitBtn2Click);
  BitBtn3->OnClick = Bind(this, &TFrmXPLook::BitBtn3Click);
  BitBtn4->OnClick = Bind(this, &TFrmXPLook::BitBtn4Click);
  BitBtn5->OnClick = Bind(this, &TFrmXPLook::BitBtn5Click);
  OnCreate = Bind(this, &TFrmXPLook::FormCreate);
  OnClose = Bind(this, &TFrmXPLook::FormClose);
}

void TFrmXPLook::FormCreate(TObject *) { ApplyTranslation(GetLanguageFile()); }

void TFrmXPLook::FormClose(TObject *, TCloseAction &Action) {
  if (Frmmain)
    Frmmain->Show();
  Action = caFree;
}

void TFrmXPLook::Tell(const char *key, const char *text, const char *captionKey,
                      const char *caption, UINT flags) {
  GetPrompts().MessageBox(Handle(), LangMessage(key, text), LangMessage(captionKey, caption),
                          flags);
}

bool TFrmXPLook::ProgramChosen(TEdit *edit) {
  if (FileExists(edit->Text()))
    return true;
  Tell("XPVS_2", "Please select a program to be modified!", "Common_10", "Error",
       MB_OK | MB_ICONERROR);
  return false;
}

// Ours when its own identity carries our name. A file we can't read is neither ours nor
// known to be the program's.
TFrmXPLook::TOwner TFrmXPLook::ManifestOwner(const std::string &manifest) {
  TStringList lines;
  try {
    lines.LoadFromFile(manifest);
  } catch (const Exception &) {
    return TOwner::Unreadable;
  }
  bool ours = lines.Count() > 2 &&
              lines.Strings(2).find(std::string("name=\"") + OurManifestName) != std::string::npos;
  return ours ? TOwner::Ours : TOwner::Program;
}

// A manifest may be replaced or removed when there is none, or when it is one Lumagrove wrote;
// that one is made plain first, since a hidden or read-only file can't be replaced, and its
// marks are handed back (-1 when there is no manifest) for PutMarksBack. A program's own
// manifest, or one that can't be read, is left alone, and the user is told.
bool TFrmXPLook::MayReplace(const std::string &manifest, int &marks) {
  marks = -1;
  if (!FileExists(manifest))
    return true;
  switch (ManifestOwner(manifest)) {
  case TOwner::Unreadable:
    Tell("XPVS_7", "The manifest beside this program can't be read; it was left as it is.",
         "Common_10", "Error", MB_OK | MB_ICONERROR);
    return false;
  case TOwner::Program:
    Tell("XPVS_4", "This program has a manifest of its own; it was left as it is.", "Common_3",
         "Warning", MB_OK | MB_ICONWARNING);
    return false;
  case TOwner::Ours:
    break;
  }
  marks = FileGetAttr(manifest);
  FileSetAttr(manifest, FILE_ATTRIBUTE_NORMAL);
  return true;
}

// After a save or delete that failed, the manifest that is still there keeps the marks it had.
void TFrmXPLook::PutMarksBack(const std::string &manifest, int marks) {
  if (marks != -1 && FileExists(manifest))
    FileSetAttr(manifest, marks);
}

void TFrmXPLook::BitBtn1Click(TObject *) {
  if (OpenDialog1->Execute())
    Edit1->SetText(OpenDialog1->FileName);
}

void TFrmXPLook::BitBtn2Click(TObject *) {
  if (OpenDialog1->Execute())
    Edit2->SetText(OpenDialog1->FileName);
}

void TFrmXPLook::BitBtn4Click(TObject *) {
  if (!ProgramChosen(Edit1))
    return;
  std::string program = Edit1->Text();
  std::string architecture = ProgramArchitecture(program);
  if (architecture.empty()) {
    Tell("XPVS_5", "This file is no Windows program that Lumagrove can read.", "Common_10", "Error",
         MB_OK | MB_ICONERROR);
    return;
  }
  std::string manifest = ManifestOf(program);
  int marks;
  if (!MayReplace(manifest, marks))
    return;
  TStringList &lines = Memo1->Lines();
  std::string arch = "processorArchitecture=\"" + architecture + "\" ";
  lines.SetString(2, "<assemblyIdentity version=\"1.0.0.0\" " + arch + "name=\"" + OurManifestName +
                         XmlName(ExtractFileName(program)) + "\" ");
  lines.SetString(8, arch);
  try {
    lines.SaveToFile(manifest);
  } catch (const Exception &e) {
    PutMarksBack(manifest, marks);
    GetPrompts().MessageBox(Handle(), e.what(), LangMessage("Common_10", "Error"),
                            MB_OK | MB_ICONERROR);
    return;
  }
  FileSetAttr(manifest, FILE_ATTRIBUTE_HIDDEN);
  Tell("XPVS_3", "Added XP Visual Style successfully!", "Common_8", "OK", MB_OK);
  Edit1->SetText("");
}

void TFrmXPLook::BitBtn3Click(TObject *) {
  if (!ProgramChosen(Edit2))
    return;
  std::string manifest = ManifestOf(Edit2->Text());
  int marks;
  if (!MayReplace(manifest, marks))
    return;
  if (FileExists(manifest) && !tk::DeleteFile(manifest)) {
    PutMarksBack(manifest, marks);
    Tell("XPVS_6", "The manifest could not be removed.", "Common_10", "Error",
         MB_OK | MB_ICONERROR);
    return;
  }
  Tell("XPVS_1", "Removed XP Visual Style successfully!", "Common_8", "OK", MB_OK);
  Edit2->SetText("");
}

void TFrmXPLook::BitBtn5Click(TObject *) {
  if (Frmmain)
    Frmmain->HelpRouter1->ShowTopic(ProgramFolder() + "Lumagrove.chm", "frmxplook.htm");
}
