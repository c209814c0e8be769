// Menu items, main menus (the menu bar of a form) and pop-up menus.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/forms/Controls.h"
#include "toolkit/graphics/ImgList.h"

namespace tk {

// A key with Shift, Ctrl and Alt bits: what a menu item answers to.
using TShortCut = uint16_t;
enum : TShortCut { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Del"...
std::string ShortCutToText(TShortCut shortCut);

class TMenu;

// An item of a menu tree. A component of its form (so the translation engine finds it), linked
// into its menu through its parent item. The caption "-" makes a separator.
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent *owner);
  ~TMenuItem() override;
  const char *ClassName() const override { return "TMenuItem"; }

  std::string Caption() const { return caption_; }
  void SetCaption(const std::string &value);
  std::string Hint;
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // Shown in bold; the command a double click would run.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Checked items of one GroupIndex in the same menu show as radio items.
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  int GroupIndex = 0;
  // A click toggles Checked before OnClick runs.
  bool AutoCheck = false;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // A picture of the item's own, drawn left of the caption (made on first use).
  TBitmap &Bitmap();
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return int(items_.size()); }
  TMenuItem *Items(int index) const { return items_[size_t(index)]; }
  void Add(TMenuItem *item);
  void Insert(int index, TMenuItem *item);
  void Delete(int index); // takes the item out (it stays its owner's)
  void Remove(TMenuItem *item);
  void Clear(); // takes out and frees every sub-item
  int IndexOf(const TMenuItem *item) const;
  TMenuItem *Parent() const { return parent_; }
  int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  // The menu whose tree this item is in.
  TMenu *GetParentMenu() const;

  TNotifyEvent OnClick;
  virtual void Click();

  // The pop-up menu of the sub-items (made on first use), or the bar of a main menu's root.
  HMENU Handle();
  UINT Command() const { return command_; }
  static TMenuItem *FromCommand(UINT command);
  // The item (this one or below) that answers to the shortcut and is enabled, or nullptr.
  TMenuItem *FindShortCut(TShortCut shortCut);

  // An owner-drawn item's size and looks: its image from the menu's list, then its caption.
  virtual void MeasureItem(HDC dc, UINT &width, UINT &height);
  virtual void DrawItem(HDC dc, const RECT &rect, UINT state);

protected:
  friend class TMenu;
  // The sub-items' entries in Handle() made afresh.
  void RebuildHandle();
  // Something about this item changed: its parent's entries follow.
  void Changed();
  // Every level of the tree below this item made afresh (the menu's images changed).
  void RebuildTree();

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  int imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TBitmap> menuBitmap_; // the picture as the menu shows it
  std::vector<TMenuItem *> items_;
  TMenuItem *parent_ = nullptr;
  TMenu *menu_ = nullptr; // set on the root item only
  HMENU handle_ = nullptr;
  UINT command_;
};

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent *owner);
  ~TMenu() override;
  const char *ClassName() const override { return "TMenu"; }

  // The invisible root item; the menu's items are its sub-items.
  TMenuItem *Items() const { return items_; }
  HMENU Handle() { return items_->Handle(); }
  TImageList *Images() const { return images_; }
  void SetImages(TImageList *images);
  // The items are drawn by the program (MeasureItem, DrawItem) instead of the system; the
  // menu bar of a main menu is always the system's.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // Runs the enabled item with this shortcut; true when there was one.
  bool DispatchShortCut(TShortCut shortCut);
  TMenuItem *FindItem(UINT command) const;

protected:
  friend class TMenuItem;
  // The root's entries changed.
  virtual void MenuChanged() {}
  virtual bool IsBar() const { return false; }
  void Notification(TComponent *component, TOperation operation) override;

  TMenuItem *items_;
  TImageList *images_ = nullptr;
  bool ownerDraw_ = false;
};

// The menu bar of a form (TCustomForm::SetMenu). While it has no visible items the form shows
// no bar.
class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent *owner);
  ~TMainMenu() override;
  const char *ClassName() const override { return "TMainMenu"; }
  TCustomForm *Form() const { return form_; }

protected:
  friend class TCustomForm;
  void MenuChanged() override;
  bool IsBar() const override { return true; }
  // Puts the bar on the form's window, or takes it off when it is empty.
  void UpdateBar();

  TCustomForm *form_ = nullptr;
};

// A menu shown at a point. A control whose PopupMenu it is shows it on a right click when
// AutoPopup is set.
class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent *owner);
  const char *ClassName() const override { return "TPopupMenu"; }

  // Shows the menu at a screen point and waits until it closes; the chosen item's OnClick
  // runs before Popup returns.
  virtual void Popup(int x, int y);
  bool AutoPopup = true;
  // The control that was right-clicked, while the menu is up.
  TComponent *PopupComponent = nullptr;

  TNotifyEvent OnPopup;
};

} // namespace tk
