#include "components/urllabel.h"

#include <cstring>

#include "toolkit/win32/Seams.h"

// --- TLinkLabel -------------------------------------------------------------------------------

template <class LabelBase>
TLinkLabel<LabelBase>::TLinkLabel(tk::TComponent *owner, const char *cursorName, bool effect98,
                                  tk::TColor colStd, tk::TColor colPre)
    : LabelBase(owner), effect98_(effect98), colStd_(colStd), colPre_(colPre) {
  tk::InitApplication();
  // Without the resource the table keeps what it had: a null cursor would hide the pointer.
  if (HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), cursorName))
    tk::Screen->SetCursors(crURLHand, hand);
  this->Cursor = crURLHand;
  this->Font().SetColor(colStd_);
}

template <class LabelBase> void TLinkLabel<LabelBase>::SetLabelType(TLabelType value) {
  if (value == labelType_)
    return;
  labelType_ = value;
  this->Invalidate();
}

template <class LabelBase> void TLinkLabel<LabelBase>::SetURLColStd(tk::TColor value) {
  if (value == colStd_)
    return;
  colStd_ = value;
  this->Font().SetColor(value);
  this->Invalidate();
}

// The new colour shows at the next enter or press, not while the mouse is already over it.
template <class LabelBase> void TLinkLabel<LabelBase>::SetURLColPre(tk::TColor value) {
  if (value == colPre_)
    return;
  colPre_ = value;
  this->Invalidate();
}

template <class LabelBase> void TLinkLabel<LabelBase>::SetEffect98(bool value) {
  if (value == effect98_)
    return;
  effect98_ = value;
  this->Font().SetStyle(RestStyle());
  this->Invalidate();
}

template <class LabelBase> void TLinkLabel<LabelBase>::MouseEnter() {
  LabelBase::MouseEnter();
  if (!effect98_)
    return;
  this->Font().SetColor(colPre_);
  this->Font().SetStyle(HoverStyle());
  this->Invalidate();
}

template <class LabelBase> void TLinkLabel<LabelBase>::MouseLeave() {
  LabelBase::MouseLeave();
  if (!effect98_)
    return;
  this->Font().SetColor(colStd_);
  this->Font().SetStyle(RestStyle());
  this->Invalidate();
}

template <class LabelBase>
void TLinkLabel<LabelBase>::MouseDown(tk::TMouseButton button, tk::TShiftState shift, int x,
                                      int y) {
  LabelBase::MouseDown(button, shift, x, y);
  if (button == tk::mbLeft)
    this->Font().SetColor(colPre_);
}

// Any button's release restores the colour, even over a label still hovered with Effect98.
template <class LabelBase>
void TLinkLabel<LabelBase>::MouseUp(tk::TMouseButton button, tk::TShiftState shift, int x, int y) {
  LabelBase::MouseUp(button, shift, x, y);
  this->Font().SetColor(colStd_);
}

template class TLinkLabel<tk::TCustomLabel>;
template class TLinkLabel<tk::TLabel>;

// --- TURLLabel --------------------------------------------------------------------------------

namespace {

// The link target lives in a buffer of this many bytes, terminator included.
constexpr size_t kTargetBuffer = 80;

// A target too long for the buffer is cut to what fits, at the end of the last whole character
// (CharNextA steps over both bytes of a double-byte character), so the shell never receives
// half a character or an unterminated text.
void CopyTarget(char (&buffer)[kTargetBuffer], const std::string &target) {
  const char *start = target.c_str();
  const char *end = start;
  while (*end) {
    const char *next = CharNextA(end);
    if (size_t(next - start) > kTargetBuffer - 1)
      break;
    end = next;
  }
  std::memcpy(buffer, start, size_t(end - start));
  buffer[end - start] = '\0';
}

} // namespace

TURLLabel::TURLLabel(tk::TComponent *owner)
    : TLinkLabel(owner, "URLHAND", false, tk::clBlue, tk::clRed) {
  Hint = "www.lumagrove.example";
  Font().SetStyle(RestStyle());
}

void TURLLabel::Click() {
  TLinkLabel::Click();
  const char *prefix = labelType_ == hmHTTP  ? "http:\\\\"
                       : labelType_ == hmFTP ? "ftp:\\\\"
                                             : "mailto:";
  char target[kTargetBuffer];
  CopyTarget(target, prefix + Hint);
  // A target the shell cannot open is simply not opened; there is nothing to tell the user.
  tk::GetShell().ShellExecute(nullptr, "", target, "", "", SW_SHOWNORMAL);
}
