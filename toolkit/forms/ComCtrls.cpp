#include "toolkit/forms/ComCtrls.h"

#include <algorithm>

#include "toolkit/forms/Menus.h"

namespace tk {

namespace {

void InitCommonControlClasses(DWORD classes) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), classes};
  InitCommonControlsEx(&icc);
}

} // namespace

// --- TTabSheet --------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent *owner) : TCustomControl(owner) {
  visible_ = false; // until its page control shows it
  width_ = 200;
  height_ = 150;
}

TTabSheet::~TTabSheet() {
  if (pageControl_)
    pageControl_->RemovePage(this);
}

void TTabSheet::GetCreateParams(CreateParams &params) {
  TCustomControl::GetCreateParams(params);
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl *pageControl) { SetParent(pageControl); }

void TTabSheet::SetParent(TWinControl *parent) {
  auto *pageControl = dynamic_cast<TPageControl *>(parent);
  if (pageControl_ && pageControl_ != pageControl)
    pageControl_->RemovePage(this);
  TCustomControl::SetParent(parent);
  if (pageControl && pageControl_ != pageControl)
    pageControl->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_)
    return;
  tabVisible_ = value;
  if (!pageControl_)
    return;
  pageControl_->UpdateTabs();
  if (!value && pageControl_->ActivePage() == this) {
    TTabSheet *next = pageControl_->FindNextPage(this, true, true);
    pageControl_->SetActivePage(next == this ? nullptr : next);
  }
}

int TTabSheet::PageIndex() const {
  if (!pageControl_)
    return -1;
  auto &pages = pageControl_->pages_;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_)
    pageControl_->MovePage(this, index);
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_)
    return -1;
  int index = 0;
  for (TTabSheet *page : pageControl_->pages_) {
    if (page == this)
      return index;
    if (page->tabVisible_)
      ++index;
  }
  return -1;
}

void TTabSheet::SetImageIndex(int value) {
  imageIndex_ = value;
  if (pageControl_)
    pageControl_->UpdateTabs();
}

void TTabSheet::TextChanged() {
  TCustomControl::TextChanged();
  if (pageControl_)
    pageControl_->UpdateTabs();
}

// --- TPageControl -----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent *owner) : TWinControl(owner) {
  width_ = 289;
  height_ = 193;
  TabStop = true;
}

TPageControl::~TPageControl() {
  for (TTabSheet *page : pages_)
    page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::GetCreateParams(CreateParams &params) {
  InitCommonControlClasses(ICC_TAB_CLASSES);
  TWinControl::GetCreateParams(params);
  params.windowClass = WC_TABCONTROLA;
  params.style |= WS_CLIPCHILDREN | (multiLine_ ? TCS_MULTILINE : 0);
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPageControl::HandleCreated() {
  TWinControl::HandleCreated();
  if (images_)
    SendMessageA(handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  tabs_.clear(); // a new window starts without tabs
  UpdateTabs();
}

RECT TPageControl::DisplayRect() const {
  RECT r = ClientRect();
  if (handle_)
    SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TPageControl::AdjustClientRect(RECT &rect) { rect = DisplayRect(); }

void TPageControl::PlaceSheets() {
  RECT r = DisplayRect();
  for (TTabSheet *page : pages_)
    page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::ControlsAligned() { PlaceSheets(); }

void TPageControl::UpdateTabs() {
  if (!handle_)
    return;
  std::vector<std::pair<std::string, int>> tabs;
  for (TTabSheet *page : pages_)
    if (page->tabVisible_)
      tabs.emplace_back(page->GetText(), page->imageIndex_);
  // Rebuilding tabs that did not change would only upset the control's idea of which tab the
  // mouse pressed (Wine's then ignores the next clicks).
  if (tabs != tabs_) {
    SendMessageA(handle_, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < tabs.size(); ++i) {
      TCITEMA item = {};
      item.mask = TCIF_TEXT | TCIF_IMAGE;
      item.pszText = tabs[i].first.data();
      item.iImage = tabs[i].second;
      SendMessageA(handle_, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    tabs_ = std::move(tabs);
  }
  SelectTab();
  // Rows of tabs may have come or gone.
  PlaceSheets();
}

void TPageControl::SelectTab() {
  if (!handle_)
    return;
  // A tab control that has tabs is never told to select none: Wine's keeps the old tab
  // pressed then, and clicks on the tabs go nowhere until the form is opened again.
  int wanted = activePage_ ? activePage_->TabIndex() : -1;
  int current = int(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
  if (wanted != current && (wanted >= 0 || tabs_.empty()))
    SendMessageA(handle_, TCM_SETCURSEL, WPARAM(wanted), 0);
  // An arrow key moves Wine's selection without releasing the tab that was pressed before; a
  // click then finds that tab still pressed and selects nothing. Only the selected tab may be
  // pressed (the state means nothing to tabs drawn as tabs, so this costs Windows nothing).
  current = int(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
  for (int i = 0; i < int(tabs_.size()); ++i) {
    if (i == current)
      continue;
    TCITEMA item = {};
    item.mask = TCIF_STATE;
    item.dwStateMask = TCIS_BUTTONPRESSED;
    if (SendMessageA(handle_, TCM_GETITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item)) &&
        (item.dwState & TCIS_BUTTONPRESSED)) {
      item.dwState = 0;
      SendMessageA(handle_, TCM_SETITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
  }
}

void TPageControl::InsertPage(TTabSheet *page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  UpdateTabs();
  if (!activePage_ && page->tabVisible_)
    SetActivePage(page);
  else
    page->SetVisible(page == activePage_);
}

void TPageControl::RemovePage(TTabSheet *page) {
  if (page == activePage_) {
    TTabSheet *next = FindNextPage(page, true, true);
    SetActivePage(next == page ? nullptr : next);
  }
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  page->pageControl_ = nullptr;
  UpdateTabs();
}

void TPageControl::MovePage(TTabSheet *page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end())
    return;
  pages_.erase(it);
  index = std::clamp(index, 0, int(pages_.size()));
  pages_.insert(pages_.begin() + index, page);
  UpdateTabs();
}

void TPageControl::ShowPage(TTabSheet *page) {
  RECT r = DisplayRect();
  page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  page->SetVisible(true);
  if (HWND h = page->HandleIfAllocated())
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (page->OnShow && !EventsMuted())
    page->OnShow(page);
}

void TPageControl::SetActivePage(TTabSheet *page) {
  if (page && page->pageControl_ != this)
    return;
  if (page == activePage_)
    return;
  TTabSheet *old = activePage_;
  activePage_ = page;
  SelectTab();
  // The new page goes up before the old one goes, so nothing shows through between.
  if (page)
    ShowPage(page);
  if (old) {
    old->SetVisible(false);
    if (old->OnHide && !EventsMuted())
      old->OnHide(old);
  }
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[size_t(index)] : nullptr);
}

TTabSheet *TPageControl::FindNextPage(TTabSheet *current, bool goForward,
                                      bool checkTabVisible) const {
  int count = PageCount();
  if (!count)
    return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? count - 1 : 0) : int(it - pages_.begin());
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet *page = pages_[size_t(i)];
    if (!checkTabVisible || page->tabVisible_)
      return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
  TTabSheet *page = FindNextPage(activePage_, goForward, true);
  if (!page || page == activePage_)
    return;
  bool allow = true;
  if (OnChanging && !EventsMuted())
    OnChanging(this, allow);
  if (!allow)
    return;
  SetActivePage(page);
  if (OnChange && !EventsMuted())
    OnChange(this);
}

void TPageControl::SetMultiLine(bool value) {
  if (value == multiLine_)
    return;
  multiLine_ = value;
  RecreateHandle();
}

void TPageControl::SetImages(TImageList *images) {
  if (Relink(images_, images) && handle_)
    SendMessageA(handle_, TCM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TPageControl::Notification(TComponent *component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_)
    SetImages(nullptr);
}

bool TPageControl::NotifyNotify(NMHDR *header, LRESULT &result) {
  switch (header->code) {
  case TCN_SELCHANGING: {
    bool allow = true;
    if (OnChanging && !EventsMuted())
      OnChanging(this, allow);
    result = allow ? FALSE : TRUE;
    return true;
  }
  case TCN_SELCHANGE: {
    int tab = int(SendMessageA(handle_, TCM_GETCURSEL, 0, 0));
    for (TTabSheet *page : pages_)
      if (page->TabIndex() == tab) {
        SetActivePage(page);
        break;
      }
    if (OnChange && !EventsMuted())
      OnChange(this);
    result = 0;
    return true;
  }
  default:
    return false;
  }
}

// --- list view: items and columns -------------------------------------------------------------

TListItem::TListItem(TListItems *owner) : owner_(owner) {
  subItems_.OnChange = [this] { Push(); };
}

TListItem::~TListItem() { subItems_.OnChange = nullptr; }

TListView *TListItem::ListView() const { return owner_->owner_; }

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Push() {
  HWND h = ListView()->HandleIfAllocated();
  int index = Index();
  if (!h || index < 0)
    return;
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = caption_.data();
  item.iImage = imageIndex_;
  SendMessageA(h, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  int columns = std::max(ListView()->columns_.Count() - 1, subItems_.Count());
  for (int s = 0; s < columns; ++s) {
    std::string text = s < subItems_.Count() ? subItems_.Strings(s) : std::string();
    LVITEMA sub = {};
    sub.iSubItem = s + 1;
    sub.pszText = text.data();
    SendMessageA(h, LVM_SETITEMTEXTA, WPARAM(index), reinterpret_cast<LPARAM>(&sub));
  }
}

void TListItem::SetCaption(const std::string &value) {
  if (value == caption_)
    return;
  caption_ = value;
  Push();
}

void TListItem::SetImageIndex(int value) {
  if (value == imageIndex_)
    return;
  imageIndex_ = value;
  Push();
}

namespace {

bool ItemState(HWND h, int index, UINT mask) {
  return (SendMessageA(h, LVM_GETITEMSTATE, WPARAM(index), mask) & mask) != 0;
}

void SetItemState(HWND h, int index, UINT mask, bool on) {
  LVITEMA item = {};
  item.stateMask = mask;
  item.state = on ? mask : 0;
  SendMessageA(h, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&item));
}

} // namespace

bool TListItem::Selected() const {
  HWND h = ListView()->HandleIfAllocated();
  return h ? ItemState(h, Index(), LVIS_SELECTED) : selected_;
}

void TListItem::SetSelected(bool value) {
  selected_ = value;
  if (HWND h = ListView()->HandleIfAllocated())
    SetItemState(h, Index(), LVIS_SELECTED, value);
}

bool TListItem::Focused() const {
  HWND h = ListView()->HandleIfAllocated();
  return h && ItemState(h, Index(), LVIS_FOCUSED);
}

void TListItem::SetFocused(bool value) {
  if (HWND h = ListView()->HandleIfAllocated())
    SetItemState(h, Index(), LVIS_FOCUSED, value);
}

void TListItem::MakeVisible() {
  if (HWND h = ListView()->HandleIfAllocated())
    SendMessageA(h, LVM_ENSUREVISIBLE, WPARAM(Index()), FALSE);
}

void TListItem::Delete() { owner_->Delete(Index()); }

TListItems::~TListItems() {
  for (auto &item : items_)
    item->subItems_.OnChange = nullptr;
}

int TListItems::IndexOf(const TListItem *item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item)
      return int(i);
  return -1;
}

TListItem *TListItems::Add() { return Insert(Count()); }

TListItem *TListItems::Insert(int index) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
  TListItem *item = items_[size_t(index)].get();
  if (HWND h = owner_->HandleIfAllocated()) {
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lv.iItem = index;
    lv.pszText = item->caption_.data();
    lv.iImage = item->imageIndex_;
    lv.lParam = reinterpret_cast<LPARAM>(item);
    owner_->filling_ = true;
    SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    owner_->filling_ = false;
  }
  return item;
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  if (owner_->OnDeletion)
    owner_->OnDeletion(owner_, items_[size_t(index)].get());
  if (HWND h = owner_->HandleIfAllocated()) {
    owner_->filling_ = true;
    SendMessageA(h, LVM_DELETEITEM, WPARAM(index), 0);
    owner_->filling_ = false;
  }
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  if (owner_->OnDeletion)
    for (auto &item : items_)
      owner_->OnDeletion(owner_, item.get());
  if (HWND h = owner_->HandleIfAllocated()) {
    owner_->filling_ = true;
    SendMessageA(h, LVM_DELETEALLITEMS, 0, 0);
    owner_->filling_ = false;
  }
  items_.clear();
}

void TListItems::BeginUpdate() {
  if (updateCount_++ == 0)
    if (HWND h = owner_->HandleIfAllocated())
      SendMessageA(h, WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (updateCount_ == 0 || --updateCount_ > 0)
    return;
  if (HWND h = owner_->HandleIfAllocated()) {
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
  }
}

void TListColumn::SetCaption(const std::string &value) {
  caption_ = value;
  owner_->owner_->PushColumn(Index(), false);
}

int TListColumn::Width() const {
  HWND h = owner_->owner_->HandleIfAllocated();
  return h ? int(SendMessageA(h, LVM_GETCOLUMNWIDTH, WPARAM(Index()), 0)) : width_;
}

void TListColumn::SetWidth(int value) {
  width_ = value;
  owner_->owner_->PushColumn(Index(), false);
}

void TListColumn::SetAlignment(TAlignment value) {
  alignment_ = value;
  owner_->owner_->PushColumn(Index(), false);
}

int TListColumn::Index() const {
  for (size_t i = 0; i < owner_->columns_.size(); ++i)
    if (owner_->columns_[i].get() == this)
      return int(i);
  return -1;
}

TListColumn *TListColumns::Add() {
  columns_.push_back(std::make_unique<TListColumn>(this));
  owner_->PushColumn(Count() - 1, true);
  return columns_.back().get();
}

void TListColumns::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  if (HWND h = owner_->HandleIfAllocated())
    SendMessageA(h, LVM_DELETECOLUMN, WPARAM(index), 0);
  columns_.erase(columns_.begin() + index);
}

void TListColumns::Clear() {
  while (Count())
    Delete(Count() - 1);
}

void TIconOptions::SetArrangement(TIconArrangement value) {
  arrangement_ = value;
  owner_->UpdateStyle();
}

void TIconOptions::SetAutoArrange(bool value) {
  autoArrange_ = value;
  owner_->UpdateStyle();
}

void TIconOptions::SetWrapText(bool value) {
  wrapText_ = value;
  owner_->UpdateStyle();
}

// --- TListView --------------------------------------------------------------------------------

namespace {

// The style bits the list view's properties decide.
constexpr DWORD kListViewBits = LVS_TYPEMASK | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS |
                                LVS_ALIGNMASK | LVS_AUTOARRANGE | LVS_NOLABELWRAP |
                                LVS_NOCOLUMNHEADER;

} // namespace

TListView::TListView(TComponent *owner) : TWinControl(owner) {
  width_ = 250;
  height_ = 150;
  TabStop = true;
  color_ = clWindow;
}

TListView::~TListView() {
  // Deletion handlers are the form's; the form is going.
  OnDeletion = nullptr;
}

DWORD TListView::Style() const {
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  DWORD style = views[viewStyle_];
  if (!multiSelect_)
    style |= LVS_SINGLESEL;
  if (!readOnly_)
    style |= LVS_EDITLABELS;
  if (!hideSelection_)
    style |= LVS_SHOWSELALWAYS;
  style |= iconOptions_.arrangement_ == iaLeft ? LVS_ALIGNLEFT : LVS_ALIGNTOP;
  if (iconOptions_.autoArrange_)
    style |= LVS_AUTOARRANGE;
  if (!iconOptions_.wrapText_)
    style |= LVS_NOLABELWRAP;
  if (!showColumnHeaders_)
    style |= LVS_NOCOLUMNHEADER;
  return style;
}

void TListView::GetCreateParams(CreateParams &params) {
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  TWinControl::GetCreateParams(params);
  params.windowClass = WC_LISTVIEWA;
  // The image lists belong to their components, not to the window.
  params.style |= Style() | LVS_SHAREIMAGELISTS;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TListView::UpdateStyle() {
  if (!handle_)
    return;
  DWORD style = DWORD(GetWindowLongA(handle_, GWL_STYLE));
  SetWindowLongA(handle_, GWL_STYLE, LONG((style & ~kListViewBits) | Style()));
  SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
               rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TListView::PushImages() {
  if (!handle_)
    return;
  SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(largeImages_ ? largeImages_->Handle() : nullptr));
  SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(smallImages_ ? smallImages_->Handle() : nullptr));
}

void TListView::PushColumn(int index, bool insert) {
  if (!handle_ || index < 0)
    return;
  TListColumn *column = columns_.Items(index);
  static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  LVCOLUMNA lvc = {};
  lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  lvc.fmt = formats[column->alignment_];
  lvc.cx = column->width_;
  lvc.pszText = column->caption_.data();
  lvc.iSubItem = index;
  SendMessageA(handle_, insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA, WPARAM(index),
               reinterpret_cast<LPARAM>(&lvc));
}

void TListView::FillWindow() {
  filling_ = true;
  SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < items_.Count(); ++i) {
    TListItem *item = items_.Item(i);
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    lv.iItem = i;
    lv.pszText = item->caption_.data();
    lv.iImage = item->imageIndex_;
    lv.lParam = reinterpret_cast<LPARAM>(item);
    lv.stateMask = LVIS_SELECTED;
    lv.state = item->selected_ ? LVIS_SELECTED : 0;
    SendMessageA(handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    item->Push();
  }
  filling_ = false;
}

void TListView::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
               rowSelect_ ? LVS_EX_FULLROWSELECT : 0);
  PushImages();
  for (int i = 0; i < columns_.Count(); ++i)
    PushColumn(i, true);
  FillWindow();
}

void TListView::SetViewStyle(TViewStyle value) {
  viewStyle_ = value;
  UpdateStyle();
}

void TListView::SetLargeImages(TImageList *images) {
  if (largeImages_ && largeImages_ != smallImages_)
    largeImages_->RemoveFreeNotification(this);
  largeImages_ = images;
  if (images)
    images->FreeNotification(this);
  PushImages();
}

void TListView::SetSmallImages(TImageList *images) {
  if (smallImages_ && smallImages_ != largeImages_)
    smallImages_->RemoveFreeNotification(this);
  smallImages_ = images;
  if (images)
    images->FreeNotification(this);
  PushImages();
}

void TListView::Notification(TComponent *component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove)
    return;
  if (component == largeImages_)
    largeImages_ = nullptr;
  if (component == smallImages_)
    smallImages_ = nullptr;
  PushImages();
}

void TListView::SetMultiSelect(bool value) {
  multiSelect_ = value;
  UpdateStyle();
}

void TListView::SetReadOnly(bool value) {
  readOnly_ = value;
  UpdateStyle();
}

void TListView::SetHideSelection(bool value) {
  hideSelection_ = value;
  UpdateStyle();
}

void TListView::SetRowSelect(bool value) {
  rowSelect_ = value;
  UpdateStyle();
}

void TListView::SetShowColumnHeaders(bool value) {
  showColumnHeaders_ = value;
  UpdateStyle();
}

TListItem *TListView::Selected() const {
  if (!handle_) {
    for (int i = 0; i < items_.Count(); ++i)
      if (items_.Item(i)->selected_)
        return items_.Item(i);
    return nullptr;
  }
  LRESULT i = SendMessageA(handle_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
  return i >= 0 && i < items_.Count() ? items_.Item(int(i)) : nullptr;
}

void TListView::SetSelected(TListItem *item) {
  for (int i = 0; i < items_.Count(); ++i)
    if (items_.Item(i) != item && items_.Item(i)->Selected())
      items_.Item(i)->SetSelected(false);
  if (item) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

int TListView::SelCount() const {
  if (handle_)
    return int(SendMessageA(handle_, LVM_GETSELECTEDCOUNT, 0, 0));
  int n = 0;
  for (int i = 0; i < items_.Count(); ++i)
    n += items_.Item(i)->selected_ ? 1 : 0;
  return n;
}

int TListView::ItemIndex() const {
  TListItem *item = Selected();
  return item ? item->Index() : -1;
}

void TListView::SetItemIndex(int index) {
  SetSelected(index >= 0 && index < items_.Count() ? items_.Item(index) : nullptr);
}

TListItem *TListView::ItemFocused() const {
  if (!handle_)
    return nullptr;
  LRESULT i = SendMessageA(handle_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED);
  return i >= 0 && i < items_.Count() ? items_.Item(int(i)) : nullptr;
}

TListItem *TListView::GetItemAt(int x, int y) const {
  if (!handle_)
    return nullptr;
  LVHITTESTINFO hit = {};
  hit.pt = {x, y};
  LRESULT i = SendMessageA(handle_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return i >= 0 && i < items_.Count() && (hit.flags & LVHT_ONITEM) ? items_.Item(int(i)) : nullptr;
}

void TListView::Arrange() {
  if (handle_)
    SendMessageA(handle_, LVM_ARRANGE, LVA_DEFAULT, 0);
}

bool TListView::NotifyNotify(NMHDR *header, LRESULT &result) {
  switch (header->code) {
  case LVN_ITEMCHANGED: {
    auto *nm = reinterpret_cast<NMLISTVIEW *>(header);
    bool selectionChanged =
        (nm->uChanged & LVIF_STATE) && ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED);
    if (selectionChanged && !filling_ && nm->iItem >= 0 && nm->iItem < items_.Count()) {
      TListItem *item = items_.Item(nm->iItem);
      item->selected_ = (nm->uNewState & LVIS_SELECTED) != 0;
      if (OnSelectItem && !EventsMuted())
        OnSelectItem(this, item, item->selected_);
    }
    return true;
  }
  case NM_CLICK:
    Click();
    return true;
  case LVN_COLUMNCLICK: {
    auto *nm = reinterpret_cast<NMLISTVIEW *>(header);
    if (OnColumnClick && nm->iSubItem >= 0 && nm->iSubItem < columns_.Count() && !EventsMuted())
      OnColumnClick(this, columns_.Items(nm->iSubItem));
    return true;
  }
  case LVN_BEGINLABELEDITA:
  case LVN_BEGINLABELEDITW:
    result = readOnly_ ? TRUE : FALSE;
    return true;
  case LVN_ENDLABELEDITA: {
    auto *nm = reinterpret_cast<NMLVDISPINFOA *>(header);
    if (nm->item.pszText && nm->item.iItem >= 0 && nm->item.iItem < items_.Count()) {
      TListItem *item = items_.Item(nm->item.iItem);
      std::string text = nm->item.pszText;
      if (OnEdited && !EventsMuted())
        OnEdited(this, item, text);
      item->caption_ = text;
      item->Push();
    }
    result = FALSE; // the window has the text from us already
    return true;
  }
  default:
    return false;
  }
}

// --- TToolButton ------------------------------------------------------------------------------

namespace {

UINT g_nextToolCommand = 1;

} // namespace

TToolButton::TToolButton(TComponent *owner) : TControl(owner), command_(g_nextToolCommand++) {
  width_ = 23;
  height_ = 22;
}

TToolButton::~TToolButton() {
  if (toolBar_)
    toolBar_->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl *parent) {
  auto *bar = dynamic_cast<TToolBar *>(parent);
  if (bar && bar == toolBar_)
    return;
  if (toolBar_)
    toolBar_->RemoveButton(this);
  if (bar) {
    if (parent_)
      TControl::SetParent(nullptr);
    bar->InsertButton(this);
  } else {
    TControl::SetParent(parent);
  }
}

int TToolButton::Index() const {
  if (!toolBar_)
    return -1;
  auto &buttons = toolBar_->buttons_;
  return int(std::find(buttons.begin(), buttons.end(), this) - buttons.begin());
}

void TToolButton::SetImageIndex(int value) {
  if (value == imageIndex_)
    return;
  imageIndex_ = value;
  if (toolBar_)
    toolBar_->UpdateButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (value == style_)
    return;
  style_ = value;
  if (toolBar_)
    toolBar_->RebuildButtons();
}

void TToolButton::SetDown(bool value) {
  if (value == down_)
    return;
  down_ = value;
  if (value && grouped_ && toolBar_)
    for (TToolButton *other : toolBar_->buttons_)
      if (other != this && other->grouped_ && other->style_ == tbsCheck)
        other->down_ = false;
  if (toolBar_)
    toolBar_->UpdateButton(this);
}

void TToolButton::SetGrouped(bool value) {
  if (value == grouped_)
    return;
  grouped_ = value;
  if (toolBar_)
    toolBar_->RebuildButtons();
}

void TToolButton::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  if (toolBar_)
    toolBar_->UpdateButton(this);
}

void TToolButton::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  if (toolBar_)
    toolBar_->UpdateButton(this);
}

void TToolButton::SetText(const std::string &text) {
  if (text == text_)
    return;
  TControl::SetText(text);
  if (toolBar_)
    toolBar_->UpdateButton(this);
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
  // The bar places its buttons; only a separator's width is the button's own.
  bool widthChanged = width != width_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (widthChanged && toolBar_ && (style_ == tbsSeparator || style_ == tbsDivider))
    toolBar_->RebuildButtons();
}

void TToolButton::Invalidate() {
  if (!toolBar_)
    return;
  if (HWND h = toolBar_->HandleIfAllocated()) {
    RECT r = toolBar_->ButtonRect(this);
    InvalidateRect(h, &r, TRUE);
  }
}

void TToolButton::Click() { TControl::Click(); }

// --- TToolBar ---------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent *owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 29;
  align_ = alTop;
}

TToolBar::~TToolBar() {
  for (TToolButton *button : buttons_) {
    button->toolBar_ = nullptr;
    button->parent_ = nullptr;
  }
  buttons_.clear();
}

void TToolBar::GetCreateParams(CreateParams &params) {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  TWinControl::GetCreateParams(params);
  params.windowClass = TOOLBARCLASSNAMEA;
  // We place the bar; it must not move itself to the top of its parent.
  params.style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
  if (flat_)
    params.style |= TBSTYLE_FLAT;
  if (list_)
    params.style |= TBSTYLE_LIST;
  if (wrapable_)
    params.style |= TBSTYLE_WRAPABLE;
}

void TToolBar::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  RebuildButtons();
}

void TToolBar::ApplyStyle() {
  if (!handle_)
    return;
  DWORD style = DWORD(SendMessageA(handle_, TB_GETSTYLE, 0, 0));
  style &= ~DWORD(TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_WRAPABLE);
  if (flat_)
    style |= TBSTYLE_FLAT;
  if (list_)
    style |= TBSTYLE_LIST;
  if (wrapable_)
    style |= TBSTYLE_WRAPABLE;
  SendMessageA(handle_, TB_SETSTYLE, 0, LPARAM(style));
  RebuildButtons();
}

namespace {

BYTE ButtonState(const TToolButton *button) {
  BYTE state = 0;
  if (button->Enabled())
    state |= TBSTATE_ENABLED;
  if (button->Down())
    state |= TBSTATE_CHECKED;
  if (!button->Visible())
    state |= TBSTATE_HIDDEN;
  return state;
}

} // namespace

void TToolBar::RebuildButtons() {
  if (!handle_)
    return;
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  while (SendMessageA(handle_, TB_BUTTONCOUNT, 0, 0) > 0)
    SendMessageA(handle_, TB_DELETEBUTTON, 0, 0);
  SendMessageA(handle_, TB_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  if (!images_)
    SendMessageA(handle_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  for (TToolButton *button : buttons_) {
    TBBUTTON tb = {};
    tb.idCommand = int(button->command_);
    tb.fsState = ButtonState(button);
    std::string text = button->GetText();
    switch (button->style_) {
    case tbsSeparator:
    case tbsDivider:
      tb.fsStyle = BTNS_SEP;
      tb.iBitmap = button->width_;
      break;
    case tbsCheck:
      tb.fsStyle = BTNS_CHECK | (button->grouped_ ? BTNS_GROUP : 0);
      break;
    case tbsDropDown:
      tb.fsStyle = BTNS_DROPDOWN;
      break;
    case tbsButton:
      tb.fsStyle = BTNS_BUTTON;
      break;
    }
    if (!(tb.fsStyle & BTNS_SEP)) {
      tb.iBitmap = images_ && button->imageIndex_ >= 0 ? button->imageIndex_ : I_IMAGENONE;
      tb.iString = showCaptions_ ? reinterpret_cast<INT_PTR>(text.c_str()) : -1;
    }
    SendMessageA(handle_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageA(handle_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  SendMessageA(handle_, TB_AUTOSIZE, 0, 0);
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
  AdjustSize();
}

void TToolBar::UpdateButton(TToolButton *button) {
  if (!handle_)
    return;
  std::string text = showCaptions_ ? button->GetText() : std::string();
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_STATE;
  info.fsState = ButtonState(button);
  if (button->style_ != tbsSeparator && button->style_ != tbsDivider) {
    info.dwMask |= TBIF_IMAGE | TBIF_TEXT;
    info.iImage = images_ && button->imageIndex_ >= 0 ? button->imageIndex_ : I_IMAGENONE;
    info.pszText = text.data();
  }
  SendMessageA(handle_, TB_SETBUTTONINFOA, button->command_, reinterpret_cast<LPARAM>(&info));
  SendMessageA(handle_, TB_AUTOSIZE, 0, 0);
  AdjustSize();
}

void TToolBar::AdjustSize() {
  if (!autoSize_ || !handle_)
    return;
  int rows = std::max(int(SendMessageA(handle_, TB_GETROWS, 0, 0)), 1);
  int buttonHeight = HIWORD(SendMessageA(handle_, TB_GETBUTTONSIZE, 0, 0));
  int height = rows * buttonHeight + 2;
  if (height != height_)
    SetHeight(height);
}

void TToolBar::InsertButton(TToolButton *button) {
  buttons_.push_back(button);
  button->toolBar_ = this;
  button->parent_ = this;
  RebuildButtons();
}

void TToolBar::RemoveButton(TToolButton *button) {
  buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
  button->toolBar_ = nullptr;
  button->parent_ = nullptr;
  if (handle_ && !IsDestroying()) {
    LRESULT index = SendMessageA(handle_, TB_COMMANDTOINDEX, button->command_, 0);
    if (index >= 0)
      SendMessageA(handle_, TB_DELETEBUTTON, WPARAM(index), 0);
  }
}

RECT TToolBar::ButtonRect(const TToolButton *button) const {
  RECT r{0, 0, 0, 0};
  if (handle_)
    SendMessageA(handle_, TB_GETRECT, button->command_, reinterpret_cast<LPARAM>(&r));
  return r;
}

bool TToolBar::CommandItem(WORD id, WORD code) {
  (void)code;
  for (TToolButton *button : buttons_) {
    if (button->command_ != id)
      continue;
    if (button->style_ == tbsCheck)
      button->down_ = SendMessageA(handle_, TB_ISBUTTONCHECKED, id, 0) != 0;
    button->Click();
    return true;
  }
  return false;
}

bool TToolBar::NotifyNotify(NMHDR *header, LRESULT &result) {
  if (header->code == TBN_DROPDOWN) {
    auto *nm = reinterpret_cast<NMTOOLBARA *>(header);
    for (TToolButton *button : buttons_) {
      if (int(button->command_) != nm->iItem || !button->DropdownMenu)
        continue;
      RECT r = ButtonRect(button);
      POINT p{r.left, r.bottom};
      ::ClientToScreen(handle_, &p);
      button->DropdownMenu->PopupComponent = button;
      button->DropdownMenu->Popup(p.x, p.y);
      result = TBDDRET_DEFAULT;
      return true;
    }
    return false;
  }
  if (header->code == TTN_GETDISPINFOA) {
    auto *nm = reinterpret_cast<NMTTDISPINFOA *>(header);
    for (TToolButton *button : buttons_)
      if (button->command_ == header->idFrom) {
        nm->lpszText = const_cast<char *>(button->Hint.c_str());
        return true;
      }
  }
  return false;
}

void TToolBar::SetImages(TImageList *images) {
  if (Relink(images_, images))
    RebuildButtons();
}

void TToolBar::Notification(TComponent *component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) {
    images_ = nullptr;
    RebuildButtons();
  }
}

void TToolBar::SetShowCaptions(bool value) {
  if (value == showCaptions_)
    return;
  showCaptions_ = value;
  RebuildButtons();
}

void TToolBar::SetFlat(bool value) {
  flat_ = value;
  ApplyStyle();
}

void TToolBar::SetList(bool value) {
  list_ = value;
  ApplyStyle();
}

void TToolBar::SetWrapable(bool value) {
  wrapable_ = value;
  ApplyStyle();
}

void TToolBar::SetButtonWidth(int value) {
  buttonWidth_ = value;
  RebuildButtons();
}

void TToolBar::SetButtonHeight(int value) {
  buttonHeight_ = value;
  RebuildButtons();
}

void TToolBar::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

// --- TCoolBar ---------------------------------------------------------------------------------

TCoolBar::TCoolBar(TComponent *owner) : TCustomControl(owner) {
  width_ = 150;
  height_ = 30;
  align_ = alTop;
}

void TCoolBar::GetCreateParams(CreateParams &params) {
  TCustomControl::GetCreateParams(params);
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TCoolBar::AdjustClientRect(RECT &rect) {
  if (bandBorders_) {
    rect.top += 2;
    rect.bottom -= 2;
  }
}

void TCoolBar::ControlsAligned() {
  if (sizing_)
    return;
  sizing_ = true;
  // Every child is a band: one row each, top to bottom.
  for (TControl *child : std::vector<TControl *>(controls_))
    if (child->Align() == alNone)
      child->SetAlign(alTop);
  if (autoSize_) {
    int height = bandBorders_ ? 4 : 0;
    for (TControl *child : controls_)
      if (child->Visible())
        height += child->Height();
    RECT client = ClientRect();
    int frame = height_ - (client.bottom - client.top);
    if (height + frame != height_)
      SetHeight(height + frame);
  }
  sizing_ = false;
}

void TCoolBar::Paint() {
  if (!bandBorders_)
    return;
  RECT r = ClientRect();
  DrawEdge(Canvas().Handle(), &r, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
}

void TCoolBar::SetAutoSize(bool value) {
  autoSize_ = value;
  Realign();
}

void TCoolBar::SetBandBorders(bool value) {
  bandBorders_ = value;
  Realign();
  Invalidate();
}

// --- TStatusBar -------------------------------------------------------------------------------

void TStatusPanel::SetText(const std::string &value) {
  if (value == text_)
    return;
  text_ = value;
  owner_->owner_->PushPanelText(Index());
}

void TStatusPanel::SetWidth(int value) {
  width_ = value;
  owner_->owner_->UpdatePanels();
}

void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  owner_->owner_->PushPanelText(Index());
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  owner_->owner_->PushPanelText(Index());
}

int TStatusPanel::Index() const {
  for (size_t i = 0; i < owner_->panels_.size(); ++i)
    if (owner_->panels_[i].get() == this)
      return int(i);
  return -1;
}

TStatusPanel *TStatusPanels::Add() {
  panels_.push_back(std::make_unique<TStatusPanel>(this));
  owner_->UpdatePanels();
  return panels_.back().get();
}

void TStatusPanels::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  panels_.erase(panels_.begin() + index);
  owner_->UpdatePanels();
}

void TStatusPanels::Clear() {
  panels_.clear();
  owner_->UpdatePanels();
}

TStatusBar::TStatusBar(TComponent *owner) : TWinControl(owner) {
  width_ = 200;
  height_ = 19;
  align_ = alBottom;
}

void TStatusBar::GetCreateParams(CreateParams &params) {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  TWinControl::GetCreateParams(params);
  params.windowClass = STATUSCLASSNAMEA;
  // Our alignment places the bar, at the height we give it.
  params.style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
  if (sizeGrip_)
    params.style |= SBARS_SIZEGRIP;
}

void TStatusBar::HandleCreated() {
  TWinControl::HandleCreated();
  UpdatePanels();
  SendMessageA(handle_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text_.c_str()));
  SendMessageA(handle_, SB_SIMPLE, simplePanel_, 0);
}

void TStatusBar::SetText(const std::string &text) {
  if (text == text_)
    return;
  text_ = text;
  if (handle_)
    SendMessageA(handle_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text_.c_str()));
  TextChanged();
}

void TStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_)
    return;
  simplePanel_ = value;
  if (handle_)
    SendMessageA(handle_, SB_SIMPLE, value, 0);
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_)
    return;
  sizeGrip_ = value;
  RecreateHandle();
}

void TStatusBar::UpdatePanels() {
  if (!handle_)
    return;
  int count = std::max(panels_.Count(), 1);
  std::vector<int> edges(size_t(count), -1);
  int right = 0;
  for (int i = 0; i < panels_.Count(); ++i) {
    right += panels_.Items(i)->width_;
    edges[size_t(i)] = right;
  }
  edges.back() = -1; // the last part reaches the right end
  SendMessageA(handle_, SB_SETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < panels_.Count(); ++i)
    PushPanelText(i);
}

void TStatusBar::PushPanelText(int index) {
  if (!handle_ || index < 0)
    return;
  TStatusPanel *panel = panels_.Items(index);
  // Tabs centre or right-align a part's text.
  std::string text = panel->alignment_ == taCenter         ? std::string("\t")
                     : panel->alignment_ == taRightJustify ? std::string("\t\t")
                                                           : std::string();
  text.append(panel->text_);
  WPARAM flags = panel->bevel_ == pbNone     ? SBT_NOBORDERS
                 : panel->bevel_ == pbRaised ? SBT_POPOUT
                                             : 0;
  SendMessageA(handle_, SB_SETTEXTA, WPARAM(index) | flags, reinterpret_cast<LPARAM>(text.c_str()));
}

// --- TTrackBar --------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent *owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 45;
  TabStop = true;
}

void TTrackBar::GetCreateParams(CreateParams &params) {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  TWinControl::GetCreateParams(params);
  params.windowClass = TRACKBAR_CLASSA;
  params.style |= orientation_ == trVertical ? TBS_VERT : TBS_HORZ;
  if (tickStyle_ == tsAuto)
    params.style |= TBS_AUTOTICKS;
  else if (tickStyle_ == tsNone)
    params.style |= TBS_NOTICKS;
  if (tickMarks_ == tmTopLeft)
    params.style |= TBS_TOP;
  else if (tickMarks_ == tmBoth)
    params.style |= TBS_BOTH;
}

void TTrackBar::HandleCreated() {
  TWinControl::HandleCreated();
  SendMessageA(handle_, TBM_SETRANGEMIN, FALSE, min_);
  SendMessageA(handle_, TBM_SETRANGEMAX, FALSE, max_);
  SendMessageA(handle_, TBM_SETTICFREQ, WPARAM(frequency_), 0);
  SendMessageA(handle_, TBM_SETLINESIZE, 0, lineSize_);
  SendMessageA(handle_, TBM_SETPAGESIZE, 0, pageSize_);
  SendMessageA(handle_, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int value) { SetRange(value, std::max(value, max_)); }

void TTrackBar::SetMax(int value) { SetRange(std::min(min_, value), value); }

void TTrackBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  if (handle_) {
    SendMessageA(handle_, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageA(handle_, TBM_SETRANGEMAX, TRUE, max_);
  }
  SetPosition(position_);
}

int TTrackBar::Position() const { return position_; }

void TTrackBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  if (handle_)
    SendMessageA(handle_, TBM_SETPOS, TRUE, value);
  if (value == position_)
    return;
  position_ = value;
  Changed();
}

void TTrackBar::Changed() {
  if (OnChange && !EventsMuted())
    OnChange(this);
}

bool TTrackBar::ScrollNotify(WORD code) {
  (void)code;
  int pos = int(SendMessageA(handle_, TBM_GETPOS, 0, 0));
  if (pos != position_) {
    position_ = pos;
    Changed();
  }
  return true;
}

void TTrackBar::SetFrequency(int value) {
  frequency_ = value;
  if (handle_) {
    SendMessageA(handle_, TBM_SETTICFREQ, WPARAM(value), 0);
    Invalidate();
  }
}

void TTrackBar::SetLineSize(int value) {
  lineSize_ = value;
  if (handle_)
    SendMessageA(handle_, TBM_SETLINESIZE, 0, value);
}

void TTrackBar::SetPageSize(int value) {
  pageSize_ = value;
  if (handle_)
    SendMessageA(handle_, TBM_SETPAGESIZE, 0, value);
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  if (value == orientation_)
    return;
  orientation_ = value;
  RecreateHandle();
}

void TTrackBar::SetTickMarks(TTickMark value) {
  if (value == tickMarks_)
    return;
  tickMarks_ = value;
  RecreateHandle();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
  if (value == tickStyle_)
    return;
  tickStyle_ = value;
  RecreateHandle();
}

} // namespace tk
