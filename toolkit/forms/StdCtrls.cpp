#include "toolkit/forms/StdCtrls.h"

#include <algorithm>

namespace tk {

// --- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent *owner) : TGraphicControl(owner) {
  width_ = 65;
  height_ = 17;
  parentColor_ = true;
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_)
    return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_)
    return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_)
    return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_)
    return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == transparent_)
    return;
  transparent_ = value;
  Invalidate();
}

UINT TCustomLabel::DrawFlags() const {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | align[alignment_];
  flags |= wordWrap_ ? DT_WORDBREAK : 0;
  if (!ShowAccelChar)
    flags |= DT_NOPREFIX;
  return flags;
}

// An auto-sized label takes the size of its text, keeping its left edge (or its right edge
// or centre, by alignment, when it doesn't wrap).
void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || Building())
    return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_->Handle());
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  std::string text = text_.empty() ? std::string(" ") : text_;
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DrawFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int left = left_;
  if (!wordWrap_ && alignment_ == taRightJustify)
    left += width_ - r.right;
  else if (!wordWrap_ && alignment_ == taCenter)
    left += (width_ - r.right) / 2;
  SetBounds(left, top_, r.right, r.bottom);
}

void TCustomLabel::Paint() {
  TCanvas &canvas = Canvas();
  RECT r = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(color_);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(r);
  }
  canvas.Brush().SetStyle(bsClear);
  std::string text = text_;
  UINT flags = DrawFlags();
  if (layout_ != tlTop) {
    RECT calc = r;
    canvas.DrawText(text, calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    int offset = layout_ == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
    OffsetRect(&r, 0, offset);
  }
  if (!enabled_) {
    // Disabled text: a highlight copy one pixel down and right under the shadow-coloured text.
    OffsetRect(&r, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(text, r, flags);
    OffsetRect(&r, -1, -1);
    canvas.Font().SetColor(clBtnShadow);
  }
  canvas.DrawText(text, r, flags);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TCustomLabel::ParentFontChanged() {
  TGraphicControl::ParentFontChanged();
  AdjustBounds();
}

namespace {

// The height of a line of text in the font, measured on the screen.
int LineHeight(TFont &font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

// Runs f with the list's change event silenced, for our own edits of a list.
template <class F> void Quietly(TStringList &list, F f) {
  auto saved = std::move(list.OnChange);
  list.OnChange = nullptr;
  f();
  list.OnChange = std::move(saved);
}

} // namespace

// --- TButtonControl, TButton ------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent *owner) : TWinControl(owner) {
  width_ = 75;
  height_ = 25;
  TabStop = true;
  parentColor_ = true;
}

void TButtonControl::GetCreateParams(CreateParams &params) {
  TWinControl::GetCreateParams(params);
  params.windowClass = "BUTTON";
  if (alignment_ == taLeftJustify)
    params.style |= BS_LEFTTEXT;
}

void TButtonControl::SetCaptionSide(TAlignment value) {
  if (value == alignment_)
    return;
  alignment_ = value;
  if (handle_) {
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    style = value == taLeftJustify ? style | BS_LEFTTEXT : style & ~BS_LEFTTEXT;
    SetWindowLongA(handle_, GWL_STYLE, style);
    Invalidate();
  }
}

bool TButtonControl::CommandNotify(WORD code) {
  if (code != BN_CLICKED)
    return false;
  Clicked();
  return true;
}

TButton::TButton(TComponent *owner) : TButtonControl(owner) {}

TButton::~TButton() {
  if (TCustomForm *form = ParentForm()) {
    if (form->DefaultButton == this)
      form->DefaultButton = nullptr;
    if (form->CancelButton == this)
      form->CancelButton = nullptr;
  }
}

void TButton::GetCreateParams(CreateParams &params) {
  TButtonControl::GetCreateParams(params);
  params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::UpdateFormButtons() {
  TCustomForm *form = ParentForm();
  if (!form)
    return;
  if (default_)
    form->DefaultButton = this;
  else if (form->DefaultButton == this)
    form->DefaultButton = nullptr;
  if (cancel_)
    form->CancelButton = this;
  else if (form->CancelButton == this)
    form->CancelButton = nullptr;
}

void TButton::SetDefault(bool value) {
  if (value == default_)
    return;
  default_ = value;
  UpdateFormButtons();
  // Buttons that draw themselves show the default state on their own.
  if (handle_ && (GetWindowLongA(handle_, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW)
    SendMessageA(handle_, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool value) {
  if (value == cancel_)
    return;
  cancel_ = value;
  UpdateFormButtons();
}

void TButton::SetParent(TWinControl *parent) {
  if (parent == parent_)
    return;
  // The old form forgets the button before the new one learns of it.
  bool wasDefault = default_, wasCancel = cancel_;
  default_ = cancel_ = false;
  UpdateFormButtons();
  default_ = wasDefault;
  cancel_ = wasCancel;
  TButtonControl::SetParent(parent);
  UpdateFormButtons();
}

void TButton::Click() {
  if (ModalResult != mrNone)
    if (TCustomForm *form = ParentForm())
      form->ModalResult = ModalResult;
  TButtonControl::Click();
}

void TButton::WndProc(TMessage &message) {
  TButtonControl::WndProc(message);
  // Enter presses the focused button, whichever is the form's default.
  if (message.Msg == WM_GETDLGCODE && Focused())
    message.Result =
        (message.Result & ~LRESULT(DLGC_UNDEFPUSHBUTTON)) | DLGC_DEFPUSHBUTTON | DLGC_BUTTON;
}

// --- TCheckBox, TRadioButton ------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent *owner) : TButtonControl(owner) {
  width_ = 97;
  height_ = 17;
}

void TCheckBox::GetCreateParams(CreateParams &params) {
  TButtonControl::GetCreateParams(params);
  // Not an automatic check box: the state is ours, the window only shows it.
  params.style |= BS_3STATE;
}

void TCheckBox::HandleCreated() {
  TButtonControl::HandleCreated();
  SendMessageA(handle_, BM_SETCHECK, WPARAM(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == state_)
    return;
  state_ = value;
  if (handle_)
    SendMessageA(handle_, BM_SETCHECK, WPARAM(state_), 0);
  if (!Building())
    Click();
}

void TCheckBox::Clicked() {
  switch (state_) {
  case cbUnchecked:
    SetState(cbChecked);
    break;
  case cbChecked:
    SetState(AllowGrayed ? cbGrayed : cbUnchecked);
    break;
  case cbGrayed:
    SetState(cbUnchecked);
    break;
  }
}

void TCheckBox::SetAlignment(TAlignment value) { SetCaptionSide(value); }

TRadioButton::TRadioButton(TComponent *owner) : TButtonControl(owner) {
  width_ = 113;
  height_ = 17;
}

void TRadioButton::GetCreateParams(CreateParams &params) {
  TButtonControl::GetCreateParams(params);
  params.style |= BS_RADIOBUTTON;
}

void TRadioButton::HandleCreated() {
  TButtonControl::HandleCreated();
  SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_)
    return;
  checked_ = value;
  if (handle_)
    SendMessageA(handle_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value)
    return;
  if (parent_)
    for (int i = 0; i < parent_->ControlCount(); ++i)
      if (auto *other = dynamic_cast<TRadioButton *>(parent_->Controls(i)); other && other != this)
        other->SetChecked(false);
  if (!Building())
    Click();
}

void TRadioButton::Clicked() { SetChecked(true); }

void TRadioButton::SetAlignment(TAlignment value) { SetCaptionSide(value); }

// --- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent *owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  TabStop = true;
  color_ = clWindow;
}

void TCustomEdit::GetCreateParams(CreateParams &params) {
  TWinControl::GetCreateParams(params);
  params.windowClass = "EDIT";
  params.style |= ES_AUTOHSCROLL;
  if (readOnly_)
    params.style |= ES_READONLY;
  if (passwordChar_)
    params.style |= ES_PASSWORD;
  if (charCase_ == ecUpperCase)
    params.style |= ES_UPPERCASE;
  else if (charCase_ == ecLowerCase)
    params.style |= ES_LOWERCASE;
  if (!hideSelection_)
    params.style |= ES_NOHIDESEL;
  if (borderStyle_ != bsNone)
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, EM_LIMITTEXT, WPARAM(maxLength_), 0);
  if (passwordChar_)
    SendMessageA(handle_, EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(passwordChar_)), 0);
  SendMessageA(handle_, EM_SETSEL, WPARAM(selStart_), LPARAM(selStart_ + selLength_));
}

void TCustomEdit::SetText(const std::string &text) {
  if (text == GetText())
    return;
  text_ = text;
  if (handle_) {
    // The window reports its own change; this one is counted here, once.
    quiet_ = true;
    SetWindowTextA(handle_, text.c_str());
    quiet_ = false;
  }
  TextChanged();
  Change();
}

bool TCustomEdit::CommandNotify(WORD code) {
  if (code != EN_CHANGE)
    return false;
  if (!quiet_)
    Change();
  return true;
}

void TCustomEdit::Change() {
  if (OnChange && !EventsMuted())
    OnChange(this);
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
  if (handle_)
    SendMessageA(handle_, EM_LIMITTEXT, WPARAM(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (handle_)
    SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == passwordChar_)
    return;
  passwordChar_ = value;
  if (handle_) {
    SendMessageA(handle_, EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(value)), 0);
    Invalidate();
  }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_)
    return;
  charCase_ = value;
  if (value != ecNormal) {
    std::string text = GetText();
    for (char &c : text)
      c = value == ecUpperCase ? char(toupper(static_cast<unsigned char>(c)))
                               : char(tolower(static_cast<unsigned char>(c)));
    SetText(text);
  }
  RecreateHandle();
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_)
    return;
  borderStyle_ = value;
  RecreateHandle();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_)
    return;
  hideSelection_ = value;
  RecreateHandle();
}

bool TCustomEdit::Modified() const {
  return handle_ && SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  if (handle_)
    SendMessageA(handle_, EM_SETMODIFY, value, 0);
}

int TCustomEdit::SelStart() const {
  if (!handle_)
    return selStart_;
  DWORD start = 0, end = 0;
  SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return int(start);
}

void TCustomEdit::SetSelStart(int value) {
  selStart_ = value;
  selLength_ = 0;
  if (handle_)
    SendMessageA(handle_, EM_SETSEL, WPARAM(value), LPARAM(value));
}

int TCustomEdit::SelLength() const {
  if (!handle_)
    return selLength_;
  DWORD start = 0, end = 0;
  SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return int(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  selLength_ = value;
  if (handle_)
    SendMessageA(handle_, EM_SETSEL, WPARAM(start), LPARAM(start + value));
}

std::string TCustomEdit::SelText() const {
  std::string text = GetText();
  size_t start = std::min(size_t(SelStart()), text.size());
  return text.substr(start, size_t(SelLength()));
}

void TCustomEdit::SetSelText(const std::string &text) {
  if (handle_) {
    SendMessageA(handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
  std::string all = text_;
  size_t start = std::min(size_t(selStart_), all.size());
  all.replace(start, size_t(selLength_), text);
  selStart_ = int(start + text.size());
  selLength_ = 0;
  SetText(all);
}

void TCustomEdit::SelectAll() {
  selStart_ = 0;
  selLength_ = int(GetText().size());
  if (handle_)
    SendMessageA(handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::CopyToClipboard() {
  if (handle_)
    SendMessageA(handle_, WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
  if (handle_)
    SendMessageA(handle_, WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
  if (handle_)
    SendMessageA(handle_, WM_PASTE, 0, 0);
}

// --- TCustomMemo ------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent *owner) : TCustomEdit(owner) {
  width_ = 185;
  height_ = 89;
  lines_.OnChange = [this] { LinesChanged(); };
}

TCustomMemo::~TCustomMemo() { lines_.OnChange = nullptr; }

TStringList &TCustomMemo::Lines() { return lines_; }

void TCustomMemo::GetCreateParams(CreateParams &params) {
  TCustomEdit::GetCreateParams(params);
  params.style &= ~ES_AUTOHSCROLL;
  params.style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (!wordWrap_)
    params.style |= ES_AUTOHSCROLL;
  if (wantReturns_)
    params.style |= ES_WANTRETURN;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
    params.style |= WS_VSCROLL;
  if ((scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) && !wordWrap_)
    params.style |= WS_HSCROLL;
  if (alignment_ == taCenter)
    params.style |= ES_CENTER;
  else if (alignment_ == taRightJustify)
    params.style |= ES_RIGHT;
}

void TCustomMemo::HandleCreated() {
  TCustomEdit::HandleCreated();
  PullLines();
}

// Lines changed from code: the window shows them (which counts as one change of the text).
void TCustomMemo::LinesChanged() {
  std::string text = lines_.GetText();
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
    text.resize(text.size() - 2);
  pushing_ = true;
  try {
    TCustomEdit::SetText(text);
  } catch (...) {
    pushing_ = false;
    throw;
  }
  pushing_ = false;
}

void TCustomMemo::SetText(const std::string &text) { TCustomEdit::SetText(text); }

void TCustomMemo::PullLines() {
  std::string text = GetText();
  Quietly(lines_, [&] { lines_.SetText(text); });
}

void TCustomMemo::Change() {
  if (!pushing_)
    PullLines();
  TCustomEdit::Change();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_)
    return;
  scrollBars_ = value;
  RecreateHandle();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_)
    return;
  wordWrap_ = value;
  RecreateHandle();
}

void TCustomMemo::SetWantReturns(bool value) {
  if (value == wantReturns_)
    return;
  wantReturns_ = value;
  RecreateHandle();
}

void TCustomMemo::SetWantTabs(bool value) { wantTabs_ = value; }

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == alignment_)
    return;
  alignment_ = value;
  RecreateHandle();
}

void TCustomMemo::WndProc(TMessage &message) {
  TCustomEdit::WndProc(message);
  if (message.Msg != WM_GETDLGCODE)
    return;
  // A memo takes Tab only when told to, and Enter only when it wants returns, so that the
  // form's tab order and default button keep working.
  if (!wantTabs_)
    message.Result &= ~LRESULT(DLGC_WANTTAB);
  auto *msg = reinterpret_cast<MSG *>(message.LParam);
  if (!wantReturns_ && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
    message.Result &= ~LRESULT(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
  if (!wantTabs_ && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
    message.Result &= ~LRESULT(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
}

// --- TCustomListBox ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent *owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 97;
  TabStop = true;
  color_ = clWindow;
  items_.OnChange = [this] { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() { items_.OnChange = nullptr; }

void TCustomListBox::GetCreateParams(CreateParams &params) {
  TWinControl::GetCreateParams(params);
  params.windowClass = "LISTBOX";
  params.style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (multiSelect_)
    params.style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::FillWindow() {
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
  for (const std::string &item : items_.Items())
    SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomListBox::HandleCreated() {
  TWinControl::HandleCreated();
  FillWindow();
  if (multiSelect_) {
    for (int i : selection_)
      SendMessageA(handle_, LB_SETSEL, TRUE, i);
    if (itemIndex_ >= 0)
      SendMessageA(handle_, LB_SETCARETINDEX, WPARAM(itemIndex_), FALSE);
  } else {
    SendMessageA(handle_, LB_SETCURSEL, WPARAM(itemIndex_), 0);
  }
}

void TCustomListBox::WndProc(TMessage &message) {
  if (message.Msg == WM_DESTROY) {
    // The selection outlives the window (a new one gets it back).
    itemIndex_ = ItemIndex();
    selection_.clear();
    for (int i = 0; i < items_.Count(); ++i)
      if (SendMessageA(handle_, LB_GETSEL, WPARAM(i), 0) > 0)
        selection_.push_back(i);
  }
  TWinControl::WndProc(message);
}

void TCustomListBox::ItemsChanged() {
  int count = items_.Count();
  if (!handle_) {
    if (itemIndex_ >= count)
      itemIndex_ = -1;
    selection_.erase(
        std::remove_if(selection_.begin(), selection_.end(), [count](int i) { return i >= count; }),
        selection_.end());
    return;
  }
  int index = ItemIndex();
  int top = TopIndex();
  FillWindow();
  if (index >= count)
    index = -1;
  if (multiSelect_) {
    if (index >= 0)
      SendMessageA(handle_, LB_SETCARETINDEX, WPARAM(index), FALSE);
  } else {
    SendMessageA(handle_, LB_SETCURSEL, WPARAM(index), 0);
  }
  SendMessageA(handle_, LB_SETTOPINDEX, WPARAM(std::min(top, std::max(count - 1, 0))), 0);
}

int TCustomListBox::ItemIndex() const {
  if (!handle_)
    return itemIndex_;
  LRESULT r = SendMessageA(handle_, multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
  return r < 0 || r >= items_.Count() ? -1 : int(r);
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count())
    index = -1;
  if (index == ItemIndex() && (!multiSelect_ || index < 0 || Selected(index)))
    return;
  if (handle_) {
    if (multiSelect_) {
      SendMessageA(handle_, LB_SETSEL, FALSE, -1);
      if (index >= 0) {
        SendMessageA(handle_, LB_SETSEL, TRUE, index);
        SendMessageA(handle_, LB_SETCARETINDEX, WPARAM(index), FALSE);
      }
    } else {
      SendMessageA(handle_, LB_SETCURSEL, WPARAM(index), 0);
    }
  } else {
    itemIndex_ = index;
    selection_.clear();
    if (multiSelect_ && index >= 0)
      selection_.push_back(index);
  }
  if (!Building())
    Click();
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_)
    return;
  multiSelect_ = value;
  RecreateHandle();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (value == extendedSelect_)
    return;
  extendedSelect_ = value;
  if (multiSelect_)
    RecreateHandle();
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= items_.Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  if (handle_)
    return SendMessageA(handle_, LB_GETSEL, WPARAM(index), 0) > 0;
  if (multiSelect_)
    return std::find(selection_.begin(), selection_.end(), index) != selection_.end();
  return index == itemIndex_;
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (index < 0 || index >= items_.Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  if (handle_) {
    if (multiSelect_)
      SendMessageA(handle_, LB_SETSEL, value, index);
    else if (value)
      SendMessageA(handle_, LB_SETCURSEL, WPARAM(index), 0);
    else if (ItemIndex() == index)
      SendMessageA(handle_, LB_SETCURSEL, WPARAM(-1), 0);
    return;
  }
  if (multiSelect_) {
    selection_.erase(std::remove(selection_.begin(), selection_.end(), index), selection_.end());
    if (value)
      selection_.push_back(index);
  } else if (value) {
    itemIndex_ = index;
  } else if (itemIndex_ == index) {
    itemIndex_ = -1;
  }
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_)
    return -1;
  if (handle_)
    return int(SendMessageA(handle_, LB_GETSELCOUNT, 0, 0));
  return int(selection_.size());
}

void TCustomListBox::SetSorted(bool value) {
  if (value == items_.Sorted)
    return;
  items_.Sorted = value;
  if (value)
    items_.Sort();
}

int TCustomListBox::ItemHeight() const {
  return handle_ ? int(SendMessageA(handle_, LB_GETITEMHEIGHT, 0, 0)) : 13;
}

int TCustomListBox::TopIndex() const {
  return handle_ ? int(SendMessageA(handle_, LB_GETTOPINDEX, 0, 0)) : 0;
}

void TCustomListBox::SetTopIndex(int index) {
  if (handle_)
    SendMessageA(handle_, LB_SETTOPINDEX, WPARAM(index), 0);
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) const {
  if (!handle_)
    return -1;
  LRESULT r = SendMessageA(handle_, LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  int index = LOWORD(r);
  bool outside = HIWORD(r) != 0;
  if (outside || index >= items_.Count())
    return existing ? -1 : items_.Count();
  return index;
}

RECT TCustomListBox::ItemRect(int index) const {
  RECT r{0, 0, 0, 0};
  if (handle_)
    SendMessageA(handle_, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

bool TCustomListBox::CommandNotify(WORD code) {
  if (code != LBN_SELCHANGE)
    return false;
  Click();
  return true;
}

// --- TCustomComboBox --------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent *owner) : TWinControl(owner) {
  width_ = 145;
  height_ = 21;
  TabStop = true;
  color_ = clWindow;
  items_.OnChange = [this] { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() { items_.OnChange = nullptr; }

void TCustomComboBox::GetCreateParams(CreateParams &params) {
  TWinControl::GetCreateParams(params);
  params.windowClass = "COMBOBOX";
  params.style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
  case csDropDown:
    params.style |= CBS_DROPDOWN;
    break;
  case csSimple:
    params.style |= CBS_SIMPLE;
    break;
  case csDropDownList:
    params.style |= CBS_DROPDOWNLIST;
    break;
  }
}

// The window's height includes its dropped-down list; the control's is the closed box's.
int TCustomComboBox::DroppedHeight() const {
  int item = handle_ ? int(SendMessageA(handle_, CB_GETITEMHEIGHT, 0, 0)) : 15;
  return height_ + std::max(dropDownCount_, 1) * std::max(item, 1) + 2;
}

void TCustomComboBox::CreateHandle() {
  int closed = height_;
  if (style_ != csSimple)
    height_ = DroppedHeight();
  TWinControl::CreateHandle();
  if (!handle_)
    height_ = closed;
}

void TCustomComboBox::HandleCreated() {
  TWinControl::HandleCreated();
  if (maxLength_)
    SendMessageA(handle_, CB_LIMITTEXT, WPARAM(maxLength_), 0);
  std::string text = text_;
  FillWindow();
  if (itemIndex_ >= 0)
    SendMessageA(handle_, CB_SETCURSEL, WPARAM(itemIndex_), 0);
  else if (style_ != csDropDownList) {
    quiet_ = true;
    SetWindowTextA(handle_, text.c_str());
    quiet_ = false;
  }
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
  if (!handle_ || style_ == csSimple) {
    TWinControl::SetBounds(left, top, width, height);
    return;
  }
  // The closed height is the system's, from the font.
  if (left == left_ && top == top_ && width == width_)
    return;
  bool resized = width != width_;
  left_ = left;
  top_ = top;
  MoveWindow(handle_, left, top, width, DroppedHeight(), TRUE);
  RECT r;
  GetWindowRect(handle_, &r);
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  if (resized)
    Resized();
  if (parent_ && align_ != alNone)
    parent_->Realign();
}

void TCustomComboBox::FillWindow() {
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  quiet_ = true;
  SendMessageA(handle_, CB_RESETCONTENT, 0, 0);
  for (const std::string &item : items_.Items())
    SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  quiet_ = false;
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomComboBox::ItemsChanged() {
  int count = items_.Count();
  if (!handle_) {
    if (itemIndex_ >= count)
      itemIndex_ = -1;
    return;
  }
  int index = ItemIndex();
  std::string text = GetText();
  FillWindow();
  quiet_ = true;
  if (index >= 0 && index < count)
    SendMessageA(handle_, CB_SETCURSEL, WPARAM(index), 0);
  if (style_ != csDropDownList && GetText() != text)
    SetWindowTextA(handle_, text.c_str()); // the edit part keeps what was typed
  quiet_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_)
    return;
  itemIndex_ = ItemIndex();
  style_ = value;
  RecreateHandle();
}

int TCustomComboBox::ItemIndex() const {
  if (!handle_)
    return itemIndex_;
  LRESULT r = SendMessageA(handle_, CB_GETCURSEL, 0, 0);
  return r < 0 || r >= items_.Count() ? -1 : int(r);
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count())
    index = -1;
  if (index == ItemIndex())
    return;
  if (handle_) {
    quiet_ = true;
    SendMessageA(handle_, CB_SETCURSEL, WPARAM(index), 0);
    quiet_ = false;
  } else {
    itemIndex_ = index;
    text_ = index >= 0 ? items_.Strings(index) : std::string();
  }
  if (!Building()) {
    Click();
    Change();
  }
}

void TCustomComboBox::SetText(const std::string &text) {
  if (style_ == csDropDownList) {
    SetItemIndex(items_.IndexOf(text));
    return;
  }
  if (text == GetText())
    return;
  int match = -1;
  for (int i = 0; i < items_.Count(); ++i)
    if (items_.Strings(i) == text) {
      match = i;
      break;
    }
  text_ = text;
  if (handle_) {
    quiet_ = true;
    SendMessageA(handle_, CB_SETCURSEL, WPARAM(match), 0);
    SetWindowTextA(handle_, text.c_str());
    quiet_ = false;
  } else {
    itemIndex_ = match;
  }
  TextChanged();
  Change();
}

void TCustomComboBox::Change() {
  if (OnChange && !EventsMuted())
    OnChange(this);
}

void TCustomComboBox::Selected() {
  int index = ItemIndex();
  // The edit part shows the new item only after this notification; handlers read it now.
  if (style_ == csDropDown && index >= 0) {
    quiet_ = true;
    SetWindowTextA(handle_, items_.Strings(index).c_str());
    quiet_ = false;
  }
  if (Building())
    return;
  if (OnSelect && !EventsMuted())
    OnSelect(this);
  Click();
  Change();
}

bool TCustomComboBox::CommandNotify(WORD code) {
  switch (code) {
  case CBN_SELCHANGE:
    Selected();
    return true;
  case CBN_EDITCHANGE:
    if (!quiet_)
      Change();
    return true;
  case CBN_DROPDOWN:
    if (OnDropDown && !EventsMuted())
      OnDropDown(this);
    return true;
  case CBN_CLOSEUP:
    if (OnCloseUp && !EventsMuted())
      OnCloseUp(this);
    return true;
  default:
    return false;
  }
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == items_.Sorted)
    return;
  items_.Sorted = value;
  if (value)
    items_.Sort();
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(value, 1);
  if (handle_ && style_ != csSimple)
    SetWindowPos(handle_, nullptr, 0, 0, width_, DroppedHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
  if (handle_)
    SendMessageA(handle_, CB_LIMITTEXT, WPARAM(maxLength_), 0);
}

bool TCustomComboBox::DroppedDown() const {
  return handle_ && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (handle_)
    SendMessageA(handle_, CB_SHOWDROPDOWN, value, 0);
}

void TCustomComboBox::SelectAll() {
  if (handle_)
    SendMessageA(handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::Clear() {
  items_.Clear();
  SetText("");
}

// --- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent *owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 105;
  parentColor_ = true;
}

void TCustomGroupBox::GetCreateParams(CreateParams &params) {
  TCustomControl::GetCreateParams(params);
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TCustomGroupBox::AdjustClientRect(RECT &rect) {
  rect.top += LineHeight(*font_);
  InflateRect(&rect, -2, -2);
}

void TCustomGroupBox::Paint() {
  TCanvas &canvas = Canvas();
  int h = canvas.TextHeight("0");
  RECT frame = ClientRect();
  frame.top += h / 2;
  DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
  std::string text = GetText();
  if (text.empty())
    return;
  // The caption interrupts the top edge, on the box's own colour.
  RECT r{8, 0, 0, h};
  canvas.DrawText(text, r, DT_SINGLELINE | DT_CALCRECT);
  r.right = std::min(r.right, ClientRect().right - 8);
  RECT back{r.left - 2, r.top, r.right + 2, r.bottom};
  canvas.Brush().SetColor(color_);
  canvas.FillRect(back);
  canvas.Brush().SetStyle(bsClear);
  if (!enabled_)
    canvas.Font().SetColor(clGrayText);
  canvas.DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
}

void TCustomGroupBox::TextChanged() {
  TCustomControl::TextChanged();
  Realign(); // the caption's height may differ
}

} // namespace tk
