// Panels, images, labelled edits and bevels.
#pragma once

#include <memory>

#include "toolkit/forms/StdCtrls.h"

namespace tk {

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A container with an outer and an inner bevel and a caption. Our own window class, so the
// windowless controls on it are painted.
class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent *owner);
  const char *ClassName() const override { return "TCustomPanel"; }

  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  // Between the outer and the inner bevel.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // A single-line box around the whole panel, as well as the bevels.
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);

protected:
  void GetCreateParams(CreateParams &params) override;
  void Paint() override;
  void AdjustClientRect(RECT &rect) override;
  // The inside of the bevels and border.
  RECT InnerRect() const;

  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TAlignment alignment_ = taCenter;
  TFormBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
  using TCustomPanel::TCustomPanel;
  const char *ClassName() const override { return "TPanel"; }
};

// Shows a picture: an icon, a bitmap or a JPEG. Canvas() draws on the picture's bitmap, making
// one the size of the image when the picture is empty (a picture of another kind becomes a
// bitmap first).
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent *owner);
  ~TImage() override;
  const char *ClassName() const override { return "TImage"; }

  TPicture &Picture() { return *picture_; }
  TCanvas &Canvas();

  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // Shrinks (never enlarges, unless stretched) keeping the picture's aspect.
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // The image takes the picture's size whenever the picture changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // Where the picture is drawn, in the image's client coordinates.
  RECT DestRect() const;

protected:
  void Paint() override;
  void PictureChanged();

  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};

// The label of a labelled edit: it belongs to the edit, not to the form.
class TBoundLabel : public TCustomLabel {
public:
  explicit TBoundLabel(TComponent *owner);
  const char *ClassName() const override { return "TBoundLabel"; }

protected:
  void Resized() override;
};

// An edit with its own label, kept beside it (above by default) as the edit moves.
class TLabeledEdit : public TCustomEdit {
public:
  explicit TLabeledEdit(TComponent *owner);
  ~TLabeledEdit() override;
  const char *ClassName() const override { return "TLabeledEdit"; }

  TBoundLabel *EditLabel() const { return label_; }
  TLabelPosition LabelPosition() const { return labelPosition_; }
  void SetLabelPosition(TLabelPosition value);
  int LabelSpacing() const { return labelSpacing_; }
  void SetLabelSpacing(int value);

  void SetParent(TWinControl *parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  // Puts the label in its place beside the edit.
  void PlaceLabel();
  void Loaded() override;

protected:
  void Notification(TComponent *component, TOperation operation) override;

  TBoundLabel *label_ = nullptr;
  TLabelPosition labelPosition_ = lpAbove;
  int labelSpacing_ = 3;
};

// A line, frame or box drawn in the 3-D colours.
class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent *owner);
  const char *ClassName() const override { return "TBevel"; }

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

protected:
  void Paint() override;

  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// A figure filled with its brush and outlined with its pen, for showing a colour or marking a
// place. The square and circle kinds take the shorter side, centred.
class TShape : public TGraphicControl {
public:
  explicit TShape(TComponent *owner);
  ~TShape() override;
  const char *ClassName() const override { return "TShape"; }

  TBrush &Brush() { return *brush_; }
  TPen &Pen() { return *pen_; }
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType value);

protected:
  void Paint() override;

  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TPen> pen_;
  TShapeType shape_ = stRectangle;
};

} // namespace tk
