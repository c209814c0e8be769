#include "toolkit/forms/ColorBox.h"

namespace tk {

namespace {

struct TNamedColor {
  TColor color;
  const char *name;
};

// The standard palette, in the order the box lists it.
const TNamedColor StandardColors[] = {
    {clBlack, "Black"}, {clWhite, "White"},   {clRed, "Red"},       {clYellow, "Yellow"},
    {clLime, "Lime"},   {clSilver, "Silver"}, {clGray, "Gray"},     {clNavy, "Navy"},
    {clBlue, "Blue"},   {clAqua, "Aqua"},     {clPurple, "Purple"}, {clMaroon, "Maroon"},
    {clGreen, "Green"}, {clTeal, "Teal"},     {clOlive, "Olive"},   {clFuchsia, "Fuchsia"},
};

} // namespace

TColorBox::TColorBox(TComponent *owner) : TCustomComboBox(owner) {
  style_ = csDropDownList;
  dropDownCount_ = 10;
  Populate();
}

void TColorBox::GetCreateParams(CreateParams &params) {
  TCustomComboBox::GetCreateParams(params);
  params.style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
}

void TColorBox::SetColorStyle(TColorBoxStyles value) {
  if (value == colorStyle_)
    return;
  TColor selected = Selected();
  colorStyle_ = value;
  Populate();
  SetSelected(selected);
}

void TColorBox::Populate() {
  TColor custom = colors_.empty() || CustomIndex() < 0 ? clBlack : colors_[0];
  colors_.clear();
  items_.BeginUpdate();
  items_.Clear();
  auto add = [this](TColor color, const char *name) {
    colors_.push_back(color);
    items_.Add(name);
  };
  if (colorStyle_ & cbCustomColor)
    add(custom, "Custom...");
  if (colorStyle_ & cbStandardColors)
    for (const TNamedColor &c : StandardColors)
      add(c.color, c.name);
  if (colorStyle_ & cbIncludeNone)
    add(clNone, "None");
  if (colorStyle_ & cbIncludeDefault)
    add(clDefault, "Default");
  items_.EndUpdate();
  settled_ = ItemIndex();
}

TColor TColorBox::Selected() const {
  int index = ItemIndex();
  return index >= 0 && index < ColorCount() ? colors_[size_t(index)] : clBlack;
}

void TColorBox::SetSelected(TColor color) {
  int found = -1;
  for (int i = 0; i < ColorCount() && found < 0; ++i)
    if (i != CustomIndex() && colors_[size_t(i)] == color)
      found = i;
  if (found < 0 && CustomIndex() >= 0) {
    found = CustomIndex();
    colors_[size_t(found)] = color;
    Invalidate();
  }
  SetItemIndex(found);
  settled_ = ItemIndex();
}

bool TColorBox::PickCustomColor() {
  TColorDialog dialog(nullptr);
  TColor start = settled_ >= 0 ? colors_[size_t(settled_)] : colors_[size_t(CustomIndex())];
  dialog.Color = (start == clNone || start == clDefault) ? colors_[size_t(CustomIndex())] : start;
  dialog.Options = cdFullOpen;
  if (!dialog.Execute())
    return false;
  colors_[size_t(CustomIndex())] = dialog.Color;
  return true;
}

bool TColorBox::CommandNotify(WORD code) {
  if (code == CBN_SELCHANGE && CustomIndex() >= 0 && ItemIndex() == CustomIndex()) {
    // The dialog takes over from the open list.
    if (DroppedDown())
      SetDroppedDown(false);
    if (!PickCustomColor()) {
      quiet_ = true;
      SendMessageA(handle_, CB_SETCURSEL, WPARAM(settled_), 0);
      quiet_ = false;
      return true;
    }
    Invalidate();
  }
  if (code == CBN_SELCHANGE)
    settled_ = ItemIndex();
  return TCustomComboBox::CommandNotify(code);
}

bool TColorBox::DrawItem(DRAWITEMSTRUCT &item) {
  TCanvas canvas;
  canvas.SetHandle(item.hDC);
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  canvas.Brush().SetColor(selected ? clHighlight : Color());
  canvas.FillRect(item.rcItem);
  int index = int(item.itemID);
  if (index >= 0 && index < ColorCount()) {
    RECT swatch = item.rcItem;
    InflateRect(&swatch, -2, -2);
    int height = swatch.bottom - swatch.top;
    swatch.right = swatch.left + height * 3 / 2;
    TColor color = colors_[size_t(index)];
    if (color == clNone)
      color = NoneColorColor;
    else if (color == clDefault)
      color = DefaultColorColor;
    canvas.Brush().SetColor(color);
    canvas.FillRect(swatch);
    canvas.Brush().SetColor(clBlack);
    canvas.FrameRect(swatch);

    RECT text = item.rcItem;
    text.left = swatch.right + 4;
    canvas.Font().Assign(Font());
    canvas.Font().SetColor(!Enabled() ? clGrayText : selected ? clHighlightText : Font().Color());
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(items_.Strings(index), text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (item.itemState & ODS_FOCUS)
    canvas.DrawFocusRect(item.rcItem);
  canvas.SetHandle(nullptr);
  return true;
}

} // namespace tk
