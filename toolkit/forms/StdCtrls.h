// Standard controls: labels, buttons, check boxes, edits, memos, list and combo boxes, group boxes.
#pragma once

#include "toolkit/forms/Forms.h"

namespace tk {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// A windowless text. The custom label is the base of link labels; TLabel publishes it all.
class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent *owner);
  const char *ClassName() const override { return "TCustomLabel"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowAccelChar = true;
  // The windowed control that the label's accelerator focuses.
  TWinControl *FocusControl = nullptr;

  void Loaded() override;

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void ParentFontChanged() override;
  void AdjustBounds();
  UINT DrawFlags() const;

  bool autoSize_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool transparent_ = false;
};

class TLabel : public TCustomLabel {
public:
  using TCustomLabel::TCustomLabel;
  const char *ClassName() const override { return "TLabel"; }
};

// Buttons, check boxes and radio buttons: BUTTON windows whose BN_CLICKED comes back here.
class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent *owner);
  const char *ClassName() const override { return "TButtonControl"; }

protected:
  void GetCreateParams(CreateParams &params) override;
  bool CommandNotify(WORD code) override;
  // A BN_CLICKED from the window: the user pressed it (or BM_CLICK was sent).
  virtual void Clicked() { Click(); }
  // Check boxes and radio buttons: taLeftJustify puts the caption left of the mark. A live
  // window takes the change at once.
  void SetCaptionSide(TAlignment value);

  TAlignment alignment_ = taRightJustify;
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent *owner);
  ~TButton() override;
  const char *ClassName() const override { return "TButton"; }

  // Enter presses the default button of a form, Escape its cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value);
  // A click hands this to the form, which a modal form takes as its answer.
  TModalResult ModalResult = mrNone;

  void Click() override;
  void SetParent(TWinControl *parent) override;
  void WndProc(TMessage &message) override;

protected:
  void GetCreateParams(CreateParams &params) override;
  // Re-registers Default and Cancel with the form the button now sits on.
  void UpdateFormButtons();

  bool default_ = false;
  bool cancel_ = false;
};

// The check state lives here; the window shows it. OnClick runs on every change of State,
// from the user or from code.
class TCheckBox : public TButtonControl {
public:
  explicit TCheckBox(TComponent *owner);
  const char *ClassName() const override { return "TCheckBox"; }

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState value);
  // Lets the user click through the grayed state as well.
  bool AllowGrayed = false;
  // taRightJustify: the caption right of the box (the usual way); taLeftJustify: left of it.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void Clicked() override;

  TCheckBoxState state_ = cbUnchecked;
};

// Checking one radio button unchecks the others of the same parent; OnClick runs when a button
// becomes checked, from the user or from code.
class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent *owner);
  const char *ClassName() const override { return "TRadioButton"; }

  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void Clicked() override;

  bool checked_ = false;
};

// Every edit derives from this (the translation engine leaves their texts alone). OnChange
// runs once for each real change of the text: typing, pasting or SetText from code, but not
// while the form is being built.
class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent *owner);
  const char *ClassName() const override { return "TCustomEdit"; }

  std::string Text() const { return GetText(); }
  void SetText(const std::string &text) override;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value); // 0: no limit
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value); // '\0' shows the text
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  // Without a border the edit is flat (bsNone), otherwise sunken (bsSingle).
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // Focusing the edit by keyboard selects its text.
  bool AutoSelect = true;

  bool Modified() const;
  void SetModified(bool value);
  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  std::string SelText() const;
  void SetSelText(const std::string &text); // replaces the selection
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void Clear() { SetText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  TNotifyEvent OnChange;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool CommandNotify(WORD code) override;
  // The text changed; runs OnChange unless the form is being built.
  virtual void Change();

  int maxLength_ = 0;
  bool readOnly_ = false;
  char passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool hideSelection_ = true;
  bool quiet_ = false; // our own SetWindowText: its EN_CHANGE is counted once, by SetText
  int selStart_ = 0, selLength_ = 0; // kept while there is no window
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
  const char *ClassName() const override { return "TEdit"; }
};

// A multi-line edit. Lines() and the window stay in step both ways.
class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent *owner);
  ~TCustomMemo() override;
  const char *ClassName() const override { return "TCustomMemo"; }

  TStringList &Lines();
  void SetText(const std::string &text) override;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void WndProc(TMessage &message) override;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void Change() override;
  void LinesChanged();
  // Reloads Lines from the window text without telling anyone.
  void PullLines();

  TStringList lines_;
  bool pushing_ = false;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
  const char *ClassName() const override { return "TMemo"; }
};

// A list of strings. Items() is the list itself: each change of it (through its OnChange)
// refills the window, keeping the selected index where it still exists. Sorting happens in
// Items(), so indices in the list and in the window always agree.
class TCustomListBox : public TWinControl {
public:
  explicit TCustomListBox(TComponent *owner);
  ~TCustomListBox() override;
  const char *ClassName() const override { return "TCustomListBox"; }

  TStringList &Items() { return items_; }
  const TStringList &Items() const { return items_; }

  // -1: none. Setting a different index from code runs OnClick, as a user's selection does.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool value);
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  int SelCount() const; // -1 for a single-selection list, as the system says
  bool Sorted() const { return items_.Sorted; }
  void SetSorted(bool value);
  int ItemHeight() const;
  int TopIndex() const;
  void SetTopIndex(int index);
  // The item at a client point, -1 for none.
  int ItemAtPos(POINT p, bool existing = true) const;
  RECT ItemRect(int index) const;
  void Clear() { items_.Clear(); }

  void WndProc(TMessage &message) override;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool CommandNotify(WORD code) override;
  void ItemsChanged();
  void FillWindow();

  TStringList items_;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  int itemIndex_ = -1;         // while there is no window
  std::vector<int> selection_; // multi-selection while there is no window
};

class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
  const char *ClassName() const override { return "TListBox"; }
};

// A combo box. Items() works as a list box's. A selection (by the user or by SetItemIndex or
// SetText from code) runs OnClick and then OnChange; typing in the edit part runs OnChange.
class TCustomComboBox : public TWinControl {
public:
  explicit TCustomComboBox(TComponent *owner);
  ~TCustomComboBox() override;
  const char *ClassName() const override { return "TCustomComboBox"; }

  TStringList &Items() { return items_; }
  const TStringList &Items() const { return items_; }

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const { return GetText(); }
  // A drop-down list selects the item of that text (none when there is none).
  void SetText(const std::string &text) override;
  bool Sorted() const { return items_.Sorted; }
  void SetSorted(bool value);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool DroppedDown() const;
  void SetDroppedDown(bool value);
  void SelectAll();
  void Clear();

  void SetBounds(int left, int top, int width, int height) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;

protected:
  void GetCreateParams(CreateParams &params) override;
  void CreateHandle() override;
  void HandleCreated() override;
  bool CommandNotify(WORD code) override;
  virtual void Change();
  // A new item was selected: Select, Click, Change, in that order.
  void Selected();
  void ItemsChanged();
  void FillWindow();
  int DroppedHeight() const;

  TStringList items_;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  int itemIndex_ = -1; // while there is no window
  bool quiet_ = false; // our own changes of the edit part report nothing by themselves
};

class TComboBox : public TCustomComboBox {
public:
  using TCustomComboBox::TCustomComboBox;
  const char *ClassName() const override { return "TComboBox"; }
};

// A captioned etched frame. Our own window class, so windowless children on it are painted.
class TCustomGroupBox : public TCustomControl {
public:
  explicit TCustomGroupBox(TComponent *owner);
  const char *ClassName() const override { return "TCustomGroupBox"; }

protected:
  void GetCreateParams(CreateParams &params) override;
  void Paint() override;
  void AdjustClientRect(RECT &rect) override;
  void TextChanged() override;
};

class TGroupBox : public TCustomGroupBox {
public:
  using TCustomGroupBox::TCustomGroupBox;
  const char *ClassName() const override { return "TGroupBox"; }
};

} // namespace tk
