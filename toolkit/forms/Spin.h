// The spin edit: a number with up and down arrows.
#pragma once

#include "toolkit/forms/StdCtrls.h"

namespace tk {

// An edit holding a whole number, with arrows that step it by Increment. The value stays in
// MinValue..MaxValue unless both are 0; OnChange runs whenever the text changes: from code
// (SetValue), typing, or the arrows.
class TSpinEdit : public TCustomEdit {
public:
  explicit TSpinEdit(TComponent *owner);
  ~TSpinEdit() override;
  const char *ClassName() const override { return "TSpinEdit"; }

  // The number in the edit, clamped into range; text that is no number reads as MinValue.
  int Value() const;
  void SetValue(int value);
  int MinValue() const { return minValue_; }
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int Increment = 1;
  bool EditorEnabled = true; // false: only the arrows change the value

  // The clamp of a value into MinValue..MaxValue.
  int CheckValue(int value) const;
  HWND UpDownHandle() const { return upDown_; }

  void WndProc(TMessage &message) override;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void PlaceUpDown();
  void Step(int direction);

  int minValue_ = 0;
  int maxValue_ = 0;
  HWND upDown_ = nullptr;
};

} // namespace tk
