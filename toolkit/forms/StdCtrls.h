// Standard controls: labels, buttons, check boxes, edits, list and combo boxes, group boxes.
#pragma once

#include "toolkit/forms/Controls.h"

namespace tk {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

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

} // namespace tk
