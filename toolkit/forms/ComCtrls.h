// The common controls: page controls and their sheets, list views, tool bars and cool bars,
// status bars and track bars.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/forms/StdCtrls.h"
#include "toolkit/graphics/ImgList.h"

namespace tk {

class TPageControl;
class TPopupMenu;

using TTabChangingEvent = std::function<void(TObject *Sender, bool &AllowChange)>;

// --- page control ----------------------------------------------------------------------------

// One page of a page control: the client area under the tabs, our own window class (so
// windowless controls on it are painted). Its caption is the text of its tab.
class TTabSheet : public TCustomControl {
public:
  explicit TTabSheet(TComponent *owner);
  ~TTabSheet() override;
  const char *ClassName() const override { return "TTabSheet"; }

  TPageControl *PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl *pageControl);
  // A sheet without a tab stays a page but cannot be chosen by the user.
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  // Position among the page control's pages.
  int PageIndex() const;
  void SetPageIndex(int index);
  // Position among the visible tabs, -1 without a tab.
  int TabIndex() const;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);

  // When the sheet becomes (or stops being) the page shown.
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  // Giving a sheet a page control as parent makes it a page of that control.
  void SetParent(TWinControl *parent) override;

protected:
  friend class TPageControl;
  void TextChanged() override;
  void GetCreateParams(CreateParams &params) override;

  TPageControl *pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

// Tabs over a stack of sheets. Choosing a tab (the user, or SetActivePage from code) hides the
// old sheet and shows the new one, running their OnHide and OnShow; a user's choice asks
// OnChanging first and reports OnChange after.
class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent *owner);
  ~TPageControl() override;
  const char *ClassName() const override { return "TPageControl"; }

  int PageCount() const { return int(pages_.size()); }
  TTabSheet *Pages(int index) const { return pages_[size_t(index)]; }
  TTabSheet *ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet *page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The page after (or before) current, round the end; nullptr when there is none.
  TTabSheet *FindNextPage(TTabSheet *current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  TImageList *Images() const { return images_; }
  void SetImages(TImageList *images);
  // The display area (below the tabs) in client coordinates.
  RECT DisplayRect() const;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

protected:
  friend class TTabSheet;
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool NotifyNotify(NMHDR *header, LRESULT &result) override;
  void ControlsAligned() override;
  void AdjustClientRect(RECT &rect) override;
  void Notification(TComponent *component, TOperation operation) override;
  void InsertPage(TTabSheet *page);
  void RemovePage(TTabSheet *page);
  void MovePage(TTabSheet *page, int index);
  // Makes the window's tabs match the visible pages, touching them only when they differ.
  void UpdateTabs();
  // Selects the active page's tab, only when another one is selected.
  void SelectTab();
  void ShowPage(TTabSheet *page);
  void PlaceSheets();

  std::vector<TTabSheet *> pages_;
  TTabSheet *activePage_ = nullptr;
  // The tabs the window holds now (text and image of each visible page, in order).
  std::vector<std::pair<std::string, int>> tabs_;
  bool multiLine_ = false;
  TImageList *images_ = nullptr;
};

// --- list view -------------------------------------------------------------------------------

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TIconArrangement { iaTop, iaLeft };

class TListView;
class TListItems;

// One item of a list view. Changes show in the window at once.
class TListItem {
public:
  explicit TListItem(TListItems *owner);
  ~TListItem();
  TListItem(const TListItem &) = delete;
  TListItem &operator=(const TListItem &) = delete;

  std::string Caption() const { return caption_; }
  void SetCaption(const std::string &value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // The texts of the report view's further columns.
  TStringList &SubItems() { return subItems_; }
  void *Data = nullptr;
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  int Index() const;
  TListView *ListView() const;
  void MakeVisible();
  void Delete();

private:
  friend class TListItems;
  friend class TListView;
  void Push(); // the item's texts and image into the window

  TListItems *owner_;
  std::string caption_;
  int imageIndex_ = -1;
  TStringList subItems_;
  bool selected_ = false; // while there is no window
};

class TListItems {
public:
  explicit TListItems(TListView *owner) : owner_(owner) {}
  ~TListItems();
  TListItems(const TListItems &) = delete;
  TListItems &operator=(const TListItems &) = delete;

  int Count() const { return int(items_.size()); }
  TListItem *Item(int index) const { return items_[size_t(index)].get(); }
  TListItem *operator[](int index) const { return Item(index); }
  TListItem *Add();
  TListItem *Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem *item) const;
  // Window updates wait until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  TListView *Owner() const { return owner_; }

private:
  friend class TListItem;
  friend class TListView;
  TListView *owner_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updateCount_ = 0;
};

class TListColumns;

class TListColumn {
public:
  explicit TListColumn(TListColumns *owner) : owner_(owner) {}
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string &value);
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  int Index() const;

private:
  friend class TListView;
  TListColumns *owner_;
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns {
public:
  explicit TListColumns(TListView *owner) : owner_(owner) {}
  int Count() const { return int(columns_.size()); }
  TListColumn *Items(int index) const { return columns_[size_t(index)].get(); }
  TListColumn *operator[](int index) const { return Items(index); }
  TListColumn *Add();
  void Delete(int index);
  void Clear();

private:
  friend class TListColumn;
  friend class TListView;
  TListView *owner_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
};

// How the icon views lay out their items.
class TIconOptions {
public:
  explicit TIconOptions(TListView *owner) : owner_(owner) {}
  TIconArrangement Arrangement() const { return arrangement_; }
  void SetArrangement(TIconArrangement value);
  bool AutoArrange() const { return autoArrange_; }
  void SetAutoArrange(bool value);
  bool WrapText() const { return wrapText_; }
  void SetWrapText(bool value);

private:
  friend class TListView;
  TListView *owner_;
  TIconArrangement arrangement_ = iaTop;
  bool autoArrange_ = false;
  bool wrapText_ = true;
};

using TLVSelectItemEvent = std::function<void(TObject *Sender, TListItem *Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject *Sender, TListColumn *Column)>;
using TLVEditedEvent = std::function<void(TObject *Sender, TListItem *Item, std::string &S)>;
using TLVDeletedEvent = std::function<void(TObject *Sender, TListItem *Item)>;

// A list view. The items live here and the window mirrors them in the same order.
class TListView : public TWinControl {
public:
  explicit TListView(TComponent *owner);
  ~TListView() override;
  const char *ClassName() const override { return "TListView"; }

  TListItems &Items() { return items_; }
  TListColumns &Columns() { return columns_; }
  TIconOptions &IconOptions() { return iconOptions_; }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  // The image lists stay their owners'; the list view only shows them.
  TImageList *LargeImages() const { return largeImages_; }
  void SetLargeImages(TImageList *images);
  TImageList *SmallImages() const { return smallImages_; }
  void SetSmallImages(TImageList *images);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // false lets the user edit the captions.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);

  // The first selected item, nullptr for none.
  TListItem *Selected() const;
  void SetSelected(TListItem *item); // selects only this one (nullptr: none)
  int SelCount() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  TListItem *ItemFocused() const;
  TListItem *GetItemAt(int x, int y) const;
  void Clear() { items_.Clear(); }
  void Arrange();

  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVEditedEvent OnEdited;
  TLVDeletedEvent OnDeletion;

protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  friend class TIconOptions;
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool NotifyNotify(NMHDR *header, LRESULT &result) override;
  void Notification(TComponent *component, TOperation operation) override;
  DWORD Style() const;
  void UpdateStyle();
  void FillWindow();
  void PushColumn(int index, bool insert);
  void PushImages();

  TListItems items_{this};
  TListColumns columns_{this};
  TIconOptions iconOptions_{this};
  TViewStyle viewStyle_ = vsIcon;
  TImageList *largeImages_ = nullptr;
  TImageList *smallImages_ = nullptr;
  bool multiSelect_ = false;
  bool readOnly_ = false;
  bool hideSelection_ = true;
  bool rowSelect_ = false;
  bool showColumnHeaders_ = true;
  bool filling_ = false; // our own inserts and deletes report no selection changes
};

// --- tool bar --------------------------------------------------------------------------------

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar. It has no window and sits in its tool bar's button list, not in the
// bar's control list: the bar's window draws it and takes its clicks. Its caption goes through
// GetText/SetText like every control's.
class TToolButton : public TControl {
public:
  explicit TToolButton(TComponent *owner);
  ~TToolButton() override;
  const char *ClassName() const override { return "TToolButton"; }

  TToolBar *ToolBar() const { return toolBar_; }
  // A tool bar as parent appends the button to its buttons.
  void SetParent(TWinControl *parent) override;
  int Index() const;

  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  // The pressed state of a check button.
  bool Down() const { return down_; }
  void SetDown(bool value);
  // Check buttons of one group act like radio buttons.
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value);
  // The arrow of a drop-down button shows this menu below the button.
  TPopupMenu *DropdownMenu = nullptr;

  void SetEnabled(bool enabled) override;
  void SetVisible(bool visible) override;
  void SetText(const std::string &text) override;
  void SetBounds(int left, int top, int width, int height) override;
  void Click() override;
  void Invalidate() override;

  // The command id of the button in the tool bar's window.
  UINT CommandId() const { return command_; }

protected:
  friend class TToolBar;

  TToolBar *toolBar_ = nullptr;
  int imageIndex_ = -1;
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  bool grouped_ = false;
  UINT command_;
};

// A row of buttons. Aligned to the top unless told otherwise.
class TToolBar : public TWinControl {
public:
  explicit TToolBar(TComponent *owner);
  ~TToolBar() override;
  const char *ClassName() const override { return "TToolBar"; }

  int ButtonCount() const { return int(buttons_.size()); }
  TToolButton *Buttons(int index) const { return buttons_[size_t(index)]; }
  TImageList *Images() const { return images_; }
  void SetImages(TImageList *images);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // Captions right of the pictures instead of below them.
  bool List() const { return list_; }
  void SetList(bool value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  // The bar's height follows its buttons.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // The button's rectangle in the bar's client coordinates (empty when hidden).
  RECT ButtonRect(const TToolButton *button) const;

protected:
  friend class TToolButton;
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool CommandItem(WORD id, WORD code) override;
  bool NotifyNotify(NMHDR *header, LRESULT &result) override;
  void Notification(TComponent *component, TOperation operation) override;
  void InsertButton(TToolButton *button);
  void RemoveButton(TToolButton *button);
  // Puts the buttons into the window afresh (after changes of the set or of the bar's looks).
  void RebuildButtons();
  void UpdateButton(TToolButton *button);
  void ApplyStyle();
  void AdjustSize();

  std::vector<TToolButton *> buttons_;
  TImageList *images_ = nullptr;
  bool showCaptions_ = false;
  bool flat_ = false;
  bool list_ = false;
  bool wrapable_ = true;
  bool autoSize_ = false;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
};

// A bar of bands stacked top to bottom, each band one child control as wide as the bar (the
// children are aligned to the top). The bar's height follows its bands when AutoSize is set.
class TCoolBar : public TCustomControl {
public:
  explicit TCoolBar(TComponent *owner);
  const char *ClassName() const override { return "TCoolBar"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // A line between bands and below the bar.
  bool BandBorders() const { return bandBorders_; }
  void SetBandBorders(bool value);

protected:
  void GetCreateParams(CreateParams &params) override;
  void ControlsAligned() override;
  void AdjustClientRect(RECT &rect) override;
  void Paint() override;

  bool autoSize_ = true;
  bool bandBorders_ = true;
  bool sizing_ = false;
};

// --- status bar ------------------------------------------------------------------------------

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanels;

class TStatusPanel {
public:
  explicit TStatusPanel(TStatusPanels *owner) : owner_(owner) {}
  std::string Text() const { return text_; }
  void SetText(const std::string &value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  int Index() const;

private:
  friend class TStatusBar;
  TStatusPanels *owner_;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusBar;

class TStatusPanels {
public:
  explicit TStatusPanels(TStatusBar *owner) : owner_(owner) {}
  int Count() const { return int(panels_.size()); }
  TStatusPanel *Items(int index) const { return panels_[size_t(index)].get(); }
  TStatusPanel *operator[](int index) const { return Items(index); }
  TStatusPanel *Add();
  void Delete(int index);
  void Clear();

private:
  friend class TStatusPanel;
  friend class TStatusBar;
  TStatusBar *owner_;
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

// A status bar at the bottom of its parent: one simple text (its GetText/SetText) or panels.
class TStatusBar : public TWinControl {
public:
  explicit TStatusBar(TComponent *owner);
  const char *ClassName() const override { return "TStatusBar"; }

  TStatusPanels &Panels() { return panels_; }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  std::string SimpleText() const { return GetText(); }
  void SetSimpleText(const std::string &text) { SetText(text); }
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);

  std::string GetText() const override { return text_; }
  void SetText(const std::string &text) override;

protected:
  friend class TStatusPanel;
  friend class TStatusPanels;
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  void UpdatePanels();
  void PushPanelText(int index);

  TStatusPanels panels_{this};
  bool simplePanel_ = false;
  bool sizeGrip_ = true;
};

// --- track bar -------------------------------------------------------------------------------

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

// A slider over Min..Max. OnChange runs whenever Position changes: by the user or from code.
class TTrackBar : public TWinControl {
public:
  explicit TTrackBar(TComponent *owner);
  const char *ClassName() const override { return "TTrackBar"; }

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int value);
  int Frequency() const { return frequency_; }
  void SetFrequency(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation value);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark value);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle value);

  TNotifyEvent OnChange;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool ScrollNotify(WORD code) override;
  virtual void Changed();

  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  int lineSize_ = 1;
  int pageSize_ = 2;
  TTrackBarOrientation orientation_ = trHorizontal;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
};

} // namespace tk
