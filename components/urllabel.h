// Labels that look and act like hyperlinks: their own colour at rest, another under the mouse and
// while pressed, and the program's hand cursor. TURLLabel opens its Hint with the shell when
// clicked; TURLLabel2 (urllabel2.h) leaves the click to its OnClick.
#pragma once

#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

enum TLabelType { hmHTTP, hmMAIL, hmFTP };

// The screen cursor number of the hand that every link label shows.
inline constexpr tk::TCursor crURLHand = 25;

// What both link labels share, over either label class.
template <class LabelBase> class TLinkLabel : public LabelBase {
public:
  TLabelType LabelType() const { return labelType_; }
  void SetLabelType(TLabelType value);
  // Colour of the text at rest.
  tk::TColor URLColStd() const { return colStd_; }
  void SetURLColStd(tk::TColor value);
  // Colour while hovered (with Effect98) or pressed.
  tk::TColor URLColPre() const { return colPre_; }
  void SetURLColPre(tk::TColor value);
  // Hover effect: the colour and style change while the mouse is over the label.
  bool Effect98() const { return effect98_; }
  void SetEffect98(bool value);

protected:
  // cursorName is the program's cursor resource this class installs as crURLHand.
  TLinkLabel(tk::TComponent *owner, const char *cursorName, bool effect98, tk::TColor colStd,
             tk::TColor colPre);
  // The font style at rest and under the mouse.
  virtual tk::TFontStyles RestStyle() const = 0;
  virtual tk::TFontStyles HoverStyle() const = 0;

  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(tk::TMouseButton button, tk::TShiftState shift, int x, int y) override;
  void MouseUp(tk::TMouseButton button, tk::TShiftState shift, int x, int y) override;

  TLabelType labelType_ = hmHTTP;
  bool effect98_;
  tk::TColor colStd_;
  tk::TColor colPre_;
};

extern template class TLinkLabel<tk::TCustomLabel>;
extern template class TLinkLabel<tk::TLabel>;

class TURLLabel : public TLinkLabel<tk::TCustomLabel> {
public:
  explicit TURLLabel(tk::TComponent *owner);
  const char *ClassName() const override { return "TURLLabel"; }
  // The label's own click handler first, then the shell opens the prefix of LabelType + Hint.
  void Click() override;

protected:
  tk::TFontStyles RestStyle() const override { return effect98_ ? 0 : tk::fsUnderline; }
  tk::TFontStyles HoverStyle() const override { return tk::fsUnderline; }
};
