#include "toolkit/forms/Menus.h"

#include <algorithm>
#include <map>

#include "toolkit/forms/Forms.h"

namespace tk {

// Hooks the owner-drawn items' measuring and drawing into the windows (MenuDraw.cpp).
void InstallMenuDrawing();

namespace {

// Commands live in the low word of WM_COMMAND; 1 and 2 are the dialog keys' IDOK and IDCANCEL.
constexpr UINT kFirstCommand = 100;
constexpr UINT kLastCommand = 0xFFFF;
UINT g_nextCommand = kFirstCommand;

std::map<UINT, TMenuItem *> &Commands() {
  static std::map<UINT, TMenuItem *> commands;
  return commands;
}

UINT NewCommand(TMenuItem *item) {
  auto &commands = Commands();
  while (commands.count(g_nextCommand))
    g_nextCommand = g_nextCommand >= kLastCommand ? kFirstCommand : g_nextCommand + 1;
  UINT command = g_nextCommand;
  commands[command] = item;
  g_nextCommand = g_nextCommand >= kLastCommand ? kFirstCommand : g_nextCommand + 1;
  return command;
}

void InstallMenuCommand() {
  if (TWinControl::MenuCommand)
    return;
  TWinControl::MenuCommand = [](WORD id) {
    TMenuItem *item = TMenuItem::FromCommand(id);
    if (!item)
      return false;
    item->Click();
    return true;
  };
}

} // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00)
    return scNone;
  TShortCut s = key;
  if (shift & ssShift)
    s |= scShift;
  if (shift & ssCtrl)
    s |= scCtrl;
  if (shift & ssAlt)
    s |= scAlt;
  return s;
}

std::string ShortCutToText(TShortCut shortCut) {
  WORD key = shortCut & 0xFF;
  std::string name;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    name = std::string(1, char(key));
  else if (key >= VK_F1 && key <= VK_F24)
    name = std::string("F").append(IntToStr(key - VK_F1 + 1));
  else {
    static const struct {
      WORD key;
      const char *name;
    } names[] = {{VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
                 {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
                 {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
                 {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
    for (const auto &n : names)
      if (n.key == key)
        name = n.name;
  }
  if (name.empty())
    return "";
  std::string text = (shortCut & scShift) ? "Shift+" : "";
  if (shortCut & scCtrl)
    text.append("Ctrl+");
  if (shortCut & scAlt)
    text.append("Alt+");
  text.append(name);
  return text;
}

// --- TMenuItem --------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent *owner) : TComponent(owner) {
  command_ = NewCommand(this);
  InstallMenuCommand();
}

TMenuItem::~TMenuItem() {
  Commands().erase(command_);
  for (TMenuItem *item : items_)
    item->parent_ = nullptr;
  items_.clear();
  if (parent_)
    parent_->Remove(this);
  if (handle_) {
    // The sub-menus are the sub-items' to free.
    while (GetMenuItemCount(handle_) > 0)
      RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
}

TMenuItem *TMenuItem::FromCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenu *TMenuItem::GetParentMenu() const {
  const TMenuItem *item = this;
  while (item->parent_)
    item = item->parent_;
  return item->menu_;
}

void TMenuItem::SetCaption(const std::string &value) {
  if (value == caption_)
    return;
  caption_ = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (value == checked_)
    return;
  checked_ = value;
  // A checked radio item unchecks the others of its group.
  if (value && radioItem_ && parent_)
    for (TMenuItem *other : parent_->items_)
      if (other != this && other->radioItem_ && other->GroupIndex == GroupIndex)
        other->checked_ = false;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_)
    return;
  enabled_ = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (value == visible_)
    return;
  visible_ = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (value == default_)
    return;
  default_ = value;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (value == radioItem_)
    return;
  radioItem_ = value;
  Changed();
}

void TMenuItem::SetImageIndex(int value) {
  if (value == imageIndex_)
    return;
  imageIndex_ = value;
  Changed();
}

TBitmap &TMenuItem::Bitmap() {
  if (!bitmap_) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->OnChange = [this] { Changed(); };
  }
  return *bitmap_;
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (value == shortCut_)
    return;
  shortCut_ = value;
  Changed();
}

void TMenuItem::Add(TMenuItem *item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem *item) {
  if (!item || item == this)
    return;
  if (item->parent_)
    item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
  Changed(); // a first sub-item turns this item into a sub-menu
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EListError(FormatText(texts::ListIndexError, {IntToStr(index)}));
  TMenuItem *item = items_[size_t(index)];
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  RebuildHandle();
  Changed();
}

void TMenuItem::Remove(TMenuItem *item) {
  int index = IndexOf(item);
  if (index >= 0)
    Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem *item = items_.back();
    Delete(Count() - 1);
    delete item;
  }
}

int TMenuItem::IndexOf(const TMenuItem *item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TMenuItem::Click() {
  if (AutoCheck)
    SetChecked(!checked_);
  if (OnClick && !InTeardown())
    OnClick(this);
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    bool bar = !parent_ && menu_ && menu_->IsBar();
    handle_ = bar ? CreateMenu() : CreatePopupMenu();
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::RebuildHandle() {
  if (!handle_)
    return;
  while (GetMenuItemCount(handle_) > 0)
    RemoveMenu(handle_, 0, MF_BYPOSITION);
  TMenu *menu = GetParentMenu();
  TImageList *images = menu ? menu->Images() : nullptr;
  UINT position = 0;
  for (TMenuItem *item : items_) {
    if (!item->visible_)
      continue;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    std::string text;
    bool bar = !parent_ && menu_ && menu_->IsBar();
    if (menu && menu->OwnerDraw() && !bar) {
      // The text stays with the item for the system's keyboard handling; the looks are ours.
      text = item->caption_;
      mii.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
      mii.fType = MFT_OWNERDRAW | (item->IsLine() ? MFT_SEPARATOR : 0);
      mii.fState = (item->checked_ ? MFS_CHECKED : 0) | (item->enabled_ ? 0 : MFS_GRAYED) |
                   (item->default_ ? MFS_DEFAULT : 0);
      mii.wID = item->command_;
      mii.hSubMenu = item->items_.empty() ? nullptr : item->Handle();
      mii.dwTypeData = text.data();
      InstallMenuDrawing();
    } else if (item->IsLine()) {
      mii.fMask = MIIM_FTYPE;
      mii.fType = MFT_SEPARATOR;
    } else {
      text = item->caption_;
      if (item->shortCut_)
        text.append("\t").append(ShortCutToText(item->shortCut_));
      mii.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU;
      mii.fType = item->radioItem_ ? MFT_RADIOCHECK : MFT_STRING;
      mii.fState = (item->checked_ ? MFS_CHECKED : 0) | (item->enabled_ ? 0 : MFS_GRAYED) |
                   (item->default_ ? MFS_DEFAULT : 0);
      mii.wID = item->command_;
      mii.hSubMenu = item->items_.empty() ? nullptr : item->Handle();
      mii.dwTypeData = text.data();
      // The picture: the item's own bitmap, or its image from the menu's list.
      HBITMAP picture = nullptr;
      if (item->bitmap_ && !item->bitmap_->Empty()) {
        picture = item->bitmap_->Handle();
      } else if (images && item->imageIndex_ >= 0 && item->imageIndex_ < images->Count()) {
        if (!item->menuBitmap_)
          item->menuBitmap_ = std::make_unique<TBitmap>();
        item->menuBitmap_->Canvas().Brush().SetColor(clMenu);
        if (images->GetBitmap(item->imageIndex_, *item->menuBitmap_))
          picture = item->menuBitmap_->Handle();
      }
      if (picture) {
        mii.fMask |= MIIM_BITMAP;
        mii.hbmpItem = picture;
      }
    }
    InsertMenuItemA(handle_, position++, TRUE, &mii);
  }
  if (!parent_ && menu_)
    menu_->MenuChanged();
}

void TMenuItem::RebuildTree() {
  for (TMenuItem *item : items_)
    item->RebuildTree();
  RebuildHandle();
}

void TMenuItem::Changed() {
  if (parent_)
    parent_->RebuildHandle();
  else if (menu_)
    menu_->MenuChanged();
}

TMenuItem *TMenuItem::FindShortCut(TShortCut shortCut) {
  if (!visible_ || !enabled_)
    return nullptr;
  if (shortCut_ == shortCut)
    return this;
  for (TMenuItem *item : items_)
    if (TMenuItem *found = item->FindShortCut(shortCut))
      return found;
  return nullptr;
}

// --- TMenu ------------------------------------------------------------------------------------

TMenu::TMenu(TComponent *owner) : TComponent(owner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
}

void TMenu::SetImages(TImageList *images) {
  if (Relink(images_, images))
    items_->RebuildTree();
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_)
    return;
  ownerDraw_ = value;
  items_->RebuildTree();
}

void TMenu::Notification(TComponent *component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) {
    images_ = nullptr;
    items_->RebuildTree();
  }
}

bool TMenu::DispatchShortCut(TShortCut shortCut) {
  if (!shortCut)
    return false;
  TMenuItem *item = nullptr;
  for (int i = 0; i < items_->Count() && !item; ++i)
    item = items_->Items(i)->FindShortCut(shortCut);
  if (!item)
    return false;
  item->Click();
  return true;
}

TMenuItem *TMenu::FindItem(UINT command) const {
  TMenuItem *item = TMenuItem::FromCommand(command);
  return item && item->GetParentMenu() == this ? item : nullptr;
}

// --- TMainMenu, TPopupMenu ------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent *owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() {
  if (form_)
    form_->SetMenu(nullptr);
}

void TMainMenu::MenuChanged() { UpdateBar(); }

void TMainMenu::UpdateBar() {
  if (!form_ || !form_->HandleAllocated())
    return;
  HWND window = form_->HandleIfAllocated();
  bool any = false;
  for (int i = 0; i < items_->Count(); ++i)
    any = any || items_->Items(i)->Visible();
  HMENU bar = any ? Handle() : nullptr;
  if (GetMenu(window) != bar)
    ::SetMenu(window, bar);
  else if (bar)
    DrawMenuBar(window);
}

TPopupMenu::TPopupMenu(TComponent *owner) : TMenu(owner) {}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup)
    OnPopup(this);
  // The menu needs a window of ours in front to close when the user clicks elsewhere.
  HWND owner = nullptr;
  if (auto *control = dynamic_cast<TControl *>(PopupComponent))
    if (TCustomForm *form = control->ParentForm())
      owner = form->HandleIfAllocated();
  if (!owner && Screen && Screen->ActiveForm)
    owner = Screen->ActiveForm->HandleIfAllocated();
  if (!owner && Application)
    owner = Application->Handle();
  SetForegroundWindow(owner);
  UINT command = 0;
  {
    // The menu's loop runs inside the code that opened it: nothing of its form may go meanwhile.
    TNestedLoop loop(this);
    command = UINT(TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y,
                                  0, owner, nullptr));
  }
  PostMessageA(owner, WM_NULL, 0, 0);
  if (TMenuItem *item = FindItem(command))
    item->Click();
}

} // namespace tk
