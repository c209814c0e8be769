// A drop-down list of colours, each shown as a swatch beside its name.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/StdCtrls.h"

namespace tk {

enum TColorBoxStyle : uint32_t {
  cbStandardColors = 1u << 0, // the sixteen colours of the standard palette
  cbIncludeNone = 1u << 1,    // "None": clNone
  cbIncludeDefault = 1u << 2, // "Default": clDefault
  cbCustomColor = 1u << 3,    // "Custom...", first: opens the Color dialog
};
using TColorBoxStyles = uint32_t;

// Choosing "Custom..." opens the Color dialog on the colour selected so far; a chosen colour
// becomes the custom entry's, and the box reports the selection as for any other entry (OnSelect,
// OnClick, OnChange), while a cancelled dialog returns to the entry selected before, reporting
// nothing.
class TColorBox : public TCustomComboBox {
public:
  explicit TColorBox(TComponent *owner);
  const char *ClassName() const override { return "TColorBox"; }

  TColorBoxStyles ColorStyle() const { return colorStyle_; }
  void SetColorStyle(TColorBoxStyles value);

  // The colour of the selected entry; clBlack with none selected. Setting a colour no entry
  // has puts it into the custom entry (and selects nothing without one).
  TColor Selected() const;
  void SetSelected(TColor color);

  int ColorCount() const { return int(colors_.size()); }
  TColor Colors(int index) const { return colors_[size_t(index)]; }
  std::string ColorNames(int index) const { return Items().Strings(index); }

  // The swatches of the "None" and "Default" entries.
  TColor NoneColorColor = clBlack;
  TColor DefaultColorColor = clBlack;

protected:
  void GetCreateParams(CreateParams &params) override;
  bool CommandNotify(WORD code) override;
  bool DrawItem(DRAWITEMSTRUCT &item) override;

private:
  void Populate();
  int CustomIndex() const { return (colorStyle_ & cbCustomColor) ? 0 : -1; }
  // Runs the Color dialog for the custom entry; false when the user cancelled.
  bool PickCustomColor();

  TColorBoxStyles colorStyle_ = cbStandardColors | cbCustomColor;
  std::vector<TColor> colors_;
  int settled_ = -1; // the entry selected before the one being chosen now
};

} // namespace tk
