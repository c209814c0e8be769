// The link label of the main window's feature links: bold white text, underlined while the mouse
// is over it, the second hand cursor, and no link action of its own (its OnClick does the work).
#pragma once

#include "components/urllabel.h"

class TURLLabel2 : public TLinkLabel<tk::TLabel> {
public:
  explicit TURLLabel2(tk::TComponent *owner);
  const char *ClassName() const override { return "TURLLabel2"; }

protected:
  tk::TFontStyles RestStyle() const override { return tk::fsBold; }
  tk::TFontStyles HoverStyle() const override { return tk::fsBold | tk::fsUnderline; }
};
