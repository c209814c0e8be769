#include "toolkit/forms/Spin.h"

#include <commctrl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace tk {

namespace {

// The arrows count steps; their own position stays in the middle of a range that is never
// reached.
constexpr int kArrowRest = 50;

} // namespace

TSpinEdit::TSpinEdit(TComponent *owner) : TCustomEdit(owner) { text_.assign(1, '0'); }

TSpinEdit::~TSpinEdit() = default;

void TSpinEdit::GetCreateParams(CreateParams &params) {
  TCustomEdit::GetCreateParams(params);
  // The arrows are a child of the edit: keep the edit's drawing off them.
  params.style |= WS_CLIPCHILDREN;
}

void TSpinEdit::HandleCreated() {
  TCustomEdit::HandleCreated();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  upDown_ = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, handle_,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(upDown_, UDM_SETRANGE32, 0, 2 * kArrowRest);
  SendMessageA(upDown_, UDM_SETPOS32, 0, kArrowRest);
  PlaceUpDown();
}

void TSpinEdit::PlaceUpDown() {
  if (!upDown_)
    return;
  RECT client;
  GetClientRect(handle_, &client);
  int w = GetSystemMetrics(SM_CXVSCROLL);
  MoveWindow(upDown_, client.right - w, 0, w, client.bottom, TRUE);
  SendMessageA(handle_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, w + 1));
}

int TSpinEdit::CheckValue(int value) const {
  if (minValue_ == 0 && maxValue_ == 0)
    return value;
  if (value < minValue_)
    return minValue_;
  if (value > maxValue_)
    return maxValue_;
  return value;
}

int TSpinEdit::Value() const {
  std::string text = GetText();
  const char *start = text.c_str();
  char *end = nullptr;
  errno = 0;
  long v = strtol(start, &end, 10);
  if (text.empty() || *end || errno == ERANGE || v < INT_MIN || v > INT_MAX)
    return CheckValue(minValue_);
  return CheckValue(int(v));
}

void TSpinEdit::SetValue(int value) { SetText(IntToStr(CheckValue(value))); }

void TSpinEdit::SetMinValue(int value) {
  minValue_ = value;
  if (!Building())
    SetValue(Value());
}

void TSpinEdit::SetMaxValue(int value) {
  maxValue_ = value;
  if (!Building())
    SetValue(Value());
}

void TSpinEdit::Step(int direction) {
  if (readOnly_ || !enabled_)
    return;
  SetValue(Value() + direction * Increment);
}

void TSpinEdit::WndProc(TMessage &message) {
  switch (message.Msg) {
  case WM_NOTIFY: {
    auto *header = reinterpret_cast<NMHDR *>(message.LParam);
    if (upDown_ && header->hwndFrom == upDown_ && header->code == UDN_DELTAPOS) {
      Step(reinterpret_cast<NMUPDOWN *>(header)->iDelta > 0 ? 1 : -1);
      message.Result = 1; // the arrows keep their resting position
      return;
    }
    break;
  }
  case WM_KEYDOWN:
    if (message.WParam == VK_UP || message.WParam == VK_DOWN) {
      Step(message.WParam == VK_UP ? 1 : -1);
      message.Result = 0;
      return;
    }
    break;
  case WM_CHAR: {
    // Digits and a leading minus sign; editing keys pass.
    char c = char(message.WParam);
    bool control = static_cast<unsigned char>(c) < ' ';
    if (!control && (!EditorEnabled || !((c >= '0' && c <= '9') || c == '-'))) {
      MessageBeep(0);
      message.Result = 0;
      return;
    }
    break;
  }
  case WM_KILLFOCUS:
    TCustomEdit::WndProc(message);
    // Leaving the edit shows the value it stands for.
    if (!Building())
      SetValue(Value());
    return;
  case WM_SIZE:
    TCustomEdit::WndProc(message);
    PlaceUpDown();
    return;
  case WM_DESTROY:
    upDown_ = nullptr; // goes with the edit
    break;
  default:
    break;
  }
  TCustomEdit::WndProc(message);
}

} // namespace tk
