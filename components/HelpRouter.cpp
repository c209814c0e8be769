#include "components/HelpRouter.h"

#include <htmlhelp.h>

#include "toolkit/win32/Seams.h"

using namespace tk;

namespace {

// The platform headers leave this WinHelp command out.
constexpr WORD kHelpTab = 0x000F;

// HTML Help's popup record as the viewer reads it: 52 bytes in a 32-bit process, 72 in a 64-bit
// one (the instance handle and the text pointer widen, and the record is aligned to them).
static_assert(sizeof(HH_POPUP) == (sizeof(void *) == 4 ? 52 : 72));

HMODULE g_library = nullptr;
FARPROC g_entry = nullptr;

// Shared by every router call: the help file of the request in progress, and the popup record
// with the text it points into (both must outlive the call into the viewer).
constinit std::string g_currentFile;
constinit std::string g_popupText;
HH_POPUP g_popup = {};

THelpRouter *g_instance = nullptr;

// Frees the library at the program's end when help was used.
struct LibraryRelease {
  ~LibraryRelease() { FreeHtmlHelp(); }
} g_release;

HWND HtmlHelpCall(HWND caller, const char *file, UINT command, DWORD_PTR data) {
  return GetShell().CallHtmlHelp(caller, file, command, data);
}

// Topic ids typed by people become file names: characters that a page name cannot hold are
// replaced or dropped, and the German umlauts lose their dots (Windows-1252 bytes).
std::string CleanTopicID(const std::string &topic) {
  std::string clean;
  for (char c : topic) {
    switch (static_cast<unsigned char>(c)) {
    case ' ':
    case '%':
    case '.':
      clean += '_';
      break;
    case '&':
    case '*':
      clean += '+';
      break;
    case '<':
    case '>':
      clean += '~';
      break;
    case '[':
      clean += '(';
      break;
    case ']':
      clean += ')';
      break;
    case '"':
    case ',':
    case '/':
    case ':':
    case '?':
    case '\\':
    case '|':
    case 0xBF:
      break;
    case 0xC4:
    case 0xE4:
      clean += 'a';
      break;
    case 0xD6:
    case 0xF6:
      clean += 'o';
      break;
    case 0xDC:
    case 0xFC:
      clean += 'u';
      break;
    case 0xDF:
      clean += 's';
      break;
    default:
      clean += c;
    }
  }
  return clean;
}

// A topic names a page when its extension (taken from the last point, so an anchor after
// ".htm" still counts) starts with ".htm"; anything else is a topic id.
bool NamesPage(const std::string &topic) {
  size_t dot = topic.rfind('.');
  if (dot == std::string::npos)
    return false;
  return LowerCase(topic.substr(dot, 4)) == ".htm";
}

} // namespace

// --- the loader -------------------------------------------------------------------------------

bool LoadHtmlHelp() {
  if (!g_library) {
    g_entry = nullptr;
    // The system folder's copy alone: by its bare name the library would be looked for beside
    // the program and in the current folder first, where anyone may have left one.
    const std::string library = GetPlaces().SystemDir() + "\\hhctrl.ocx";
    g_library = LoadLibraryA(library.c_str());
    if (g_library)
      g_entry = GetProcAddress(g_library, "HtmlHelpA");
  }
  return g_library != nullptr;
}

bool HtmlHelpLoaded() { return g_library != nullptr; }

bool HtmlHelpAvailable() {
  LoadHtmlHelp();
  return g_entry != nullptr;
}

void FreeHtmlHelp() {
  if (g_library)
    FreeLibrary(g_library);
  g_library = nullptr;
  g_entry = nullptr;
}

// --- THelpRouter ------------------------------------------------------------------------------

THelpRouter::THelpRouter(TComponent *owner) : TComponent(owner) {
  if (g_instance)
    throw Exception("Multiple instances of THelpRouter are not allowed");
  if (Application) {
    savedHelp_ = Application->OnHelp;
    Application->OnHelp = [this](WORD command, int data, bool &callHelp) {
      return RouteHelp(command, data, callHelp);
    };
  }
  g_instance = this;
}

THelpRouter::~THelpRouter() {
  if (Application)
    Application->OnHelp = savedHelp_;
  g_instance = nullptr;
}

TCustomForm *THelpRouter::HelpForm() const {
  if (Screen && Screen->ActiveForm)
    return Screen->ActiveForm;
  return dynamic_cast<TCustomForm *>(GetOwner());
}

std::string THelpRouter::GetHelpFile() const {
  if (!Helpfile.empty())
    return Helpfile;
  std::string file = Application ? Application->HelpFile : std::string();
  TCustomForm *form = HelpForm();
  if (form && form->HandleAllocated() && !form->HelpFile.empty())
    file = form->HelpFile;
  return file;
}

HWND THelpRouter::GetHelpWindow() const {
  TCustomForm *form = HelpForm();
  if (form && form->HandleAllocated())
    return form->HandleIfAllocated();
  return Application ? Application->Handle() : nullptr;
}

bool THelpRouter::RouteHelp(WORD Command, int Data, bool &CallHelp) {
  bool result = false;
  if (OnHelp)
    result = OnHelp(Command, Data, CallHelp);
  if (CallHelp && savedHelp_)
    result = savedHelp_(Command, Data, CallHelp);
  if (!CallHelp)
    return result;

  g_currentFile = GetHelpFile();
  if (ShowType == stMain) {
    if (Command == HELP_CONTEXTPOPUP)
      Command = HELP_CONTEXT;
    else if (Command == HELP_SETPOPUP_POS)
      Command = 0;
  }
  bool popupCommand = Command == HELP_CONTEXTPOPUP || Command == HELP_SETPOPUP_POS;
  if (HelpType == htHTMLhelp || (HelpType == htMixedMode && !popupCommand)) {
    // Closing help that was never opened must not load the library just to close nothing.
    if (!HtmlHelpLoaded() && Command == HELP_QUIT) {
      CallHelp = false;
      return true;
    }
    // Without the viewer the toolkit's own handling carries on.
    if (!HtmlHelpAvailable())
      return result;
    result = RouteToHtmlHelp(Command, Data, CallHelp);
  } else {
    result = RouteToWinHelp(Command, Data);
  }
  CallHelp = false;
  return result;
}

bool THelpRouter::RouteToHtmlHelp(WORD command, int data, bool &callHelp) {
  g_currentFile = ChangeFileExt(g_currentFile, ".chm");
  const char *file = g_currentFile.c_str();
  HWND shown = nullptr;
  switch (command) {
  case HELP_CONTEXT:
    shown = HtmlHelpCall(nullptr, file, HH_HELP_CONTEXT, DWORD_PTR(data));
    break;
  case HELP_QUIT:
    shown = HtmlHelpCall(nullptr, nullptr, HH_CLOSE_ALL, 0);
    break;
  case HELP_CONTENTS:
  case HELP_FINDER:
    shown = HtmlHelpCall(nullptr, file, HH_DISPLAY_TOC, 0);
    break;
  case kHelpTab:
    shown = HtmlHelpCall(nullptr, file, data == 0 ? HH_DISPLAY_TOC : HH_DISPLAY_INDEX, 0);
    break;
  case HELP_KEY:
  case HELP_PARTIALKEY:
    shown = HtmlHelpCall(nullptr, file, HH_DISPLAY_INDEX, DWORD_PTR(data));
    break;
  case HELP_CONTEXTPOPUP: {
    POINT at = popupPos_;
    if (at.x == 0 && at.y == 0)
      GetCursorPos(&at);
    ShowPopup(at.x, at.y, data, "");
    popupPos_ = {0, 0};
    callHelp = false;
    return true;
  }
  case HELP_SETPOPUP_POS:
    // The position comes packed as two signed 16-bit halves.
    popupPos_ = {short(LOWORD(DWORD(data))), short(HIWORD(DWORD(data)))};
    return false;
  default:
    return false;
  }
  return shown != nullptr;
}

bool THelpRouter::RouteToWinHelp(WORD command, int data) {
  if (command == 0)
    return true;
  if (command == HELP_CONTEXTPOPUP && HelpType == htMixedMode &&
      LowerCase(ExtractFileExt(CHMPopupTopics)) == ".hlp") {
    // Mixed help keeps its popups in a WinHelp file beside the .chm unless a folder is given.
    if (!ExtractFilePath(CHMPopupTopics).empty())
      g_currentFile = CHMPopupTopics;
    else
      g_currentFile = ExtractFilePath(g_currentFile) + CHMPopupTopics;
  }
  return GetShell().CallWinHelp(GetHelpWindow(), ChangeFileExt(g_currentFile, ".hlp"), command,
                                ULONG_PTR(data)) != FALSE;
}

bool THelpRouter::ShowTopic(const std::string &HelpFile, const std::string &Topic) {
  g_currentFile = HelpFile.empty() ? GetHelpFile() : HelpFile;
  if (HelpType == htWinhelp) {
    g_currentFile = ChangeFileExt(g_currentFile, ".hlp");
    // WinHelp jumps to a topic through a macro once the file is open; the macro text is held
    // to the 255 characters of WinHelp's macro buffer.
    std::string macro = ("JumpID(\"\",\"" + Topic + "\")").substr(0, 255);
    HWND window = GetHelpWindow();
    if (!GetShell().CallWinHelp(window, g_currentFile, HELP_CONTENTS, 0))
      return false;
    return GetShell().CallWinHelp(window, g_currentFile, HELP_COMMAND,
                                  reinterpret_cast<ULONG_PTR>(macro.c_str())) != FALSE;
  }
  if (!HtmlHelpAvailable())
    return false;
  g_currentFile = ChangeFileExt(g_currentFile, ".chm");
  std::string page = Topic;
  if (!page.empty() && !NamesPage(page)) {
    if (ValidateID)
      page = CleanTopicID(page);
    page += ".htm";
  }
  std::string target = page.empty() ? g_currentFile : g_currentFile + "::/" + page;
  return HtmlHelpCall(nullptr, target.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
}

bool THelpRouter::ShowPopup(int X, int Y, int HelpContext, const std::string &Text) {
  if (!HtmlHelpAvailable())
    return false;
  g_popupText = Text;
  g_popup = {};
  g_popup.cbStruct = sizeof(HH_POPUP);
  g_popup.hinst = nullptr;
  g_popup.idString = Text.empty() ? UINT(HelpContext) : 0;
  g_popup.pszText = g_popupText.c_str();
  g_popup.pt = {X, Y};
  g_popup.clrForeground = COLORREF(-1);
  g_popup.clrBackground = COLORREF(-1);
  g_popup.rcMargins = {-1, -1, -1, -1};
  g_popup.pszFont = "MS Sans Serif, 8";
  std::string target;
  if (g_popup.idString != 0) {
    if (CHMPopupTopics.empty())
      CHMPopupTopics = "CSHelp.txt";
    g_currentFile = ChangeFileExt(GetHelpFile(), ".chm");
    target = g_currentFile + "::/" + CHMPopupTopics;
  }
  return HtmlHelpCall(GetHelpWindow(), target.empty() ? nullptr : target.c_str(),
                      HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&g_popup)) != nullptr;
}
