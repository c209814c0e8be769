#include "toolkit/forms/ShellCtrls.h"

#include <algorithm>
#include <cstring>

namespace tk {

namespace {

// The few item-list routines the tree needs, over the shell's interfaces alone: the shell's
// own exports of them came late (or by ordinal only) on the oldest Windows the program serves.

const SHITEMID *NextItem(const SHITEMID *item) {
  return reinterpret_cast<const SHITEMID *>(reinterpret_cast<const BYTE *>(item) + item->cb);
}

// The bytes of the first count items (all of them for -1), without the terminator.
size_t ListSize(LPCITEMIDLIST list, int count = -1) {
  size_t size = 0;
  for (const SHITEMID *item = &list->mkid; item->cb && count != 0; item = NextItem(item), --count)
    size += item->cb;
  return size;
}

int ItemCount(LPCITEMIDLIST list) {
  int count = 0;
  for (const SHITEMID *item = &list->mkid; item->cb; item = NextItem(item))
    ++count;
  return count;
}

// A new list of a's first count items followed by b (either may be nullptr).
LPITEMIDLIST JoinLists(LPCITEMIDLIST a, int count, LPCITEMIDLIST b) {
  size_t first = a ? ListSize(a, count) : 0, second = b ? ListSize(b) : 0;
  auto *bytes = static_cast<BYTE *>(CoTaskMemAlloc(first + second + sizeof(USHORT)));
  if (!bytes)
    return nullptr;
  if (first)
    memcpy(bytes, a, first);
  if (second)
    memcpy(bytes + first, b, second);
  memset(bytes + first + second, 0, sizeof(USHORT));
  return reinterpret_cast<LPITEMIDLIST>(bytes);
}

LPCITEMIDLIST LastItem(LPCITEMIDLIST list) {
  const SHITEMID *last = &list->mkid;
  for (const SHITEMID *item = &list->mkid; item->cb; item = NextItem(item))
    last = item;
  return reinterpret_cast<LPCITEMIDLIST>(last);
}

bool SamePlace(IShellFolder *desktop, LPCITEMIDLIST a, LPCITEMIDLIST b) {
  HRESULT hr = desktop->CompareIDs(0, a, b);
  return SUCCEEDED(hr) && short(HRESULT_CODE(hr)) == 0;
}

// Whether outer lies on the way from the desktop to inner (or is inner).
bool Contains(IShellFolder *desktop, LPCITEMIDLIST outer, LPCITEMIDLIST inner) {
  int count = ItemCount(outer);
  if (count > ItemCount(inner))
    return false;
  LPITEMIDLIST head = JoinLists(inner, count, nullptr);
  bool contains = head && SamePlace(desktop, outer, head);
  CoTaskMemFree(head);
  return contains;
}

std::string Narrow(const wchar_t *text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(size_t(std::max(n, 1)), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), n, nullptr, nullptr);
  narrow.resize(strlen(narrow.c_str()));
  return narrow;
}

std::wstring Wide(const std::string &text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(size_t(std::max(n, 1)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

// A name the shell handed over, in whichever of its three forms; the shell's copy is freed.
std::string StrRetText(STRRET &ret, LPCITEMIDLIST item) {
  switch (ret.uType) {
  case STRRET_WSTR: {
    std::string text = ret.pOleStr ? Narrow(ret.pOleStr) : std::string();
    CoTaskMemFree(ret.pOleStr);
    return text;
  }
  case STRRET_OFFSET:
    return reinterpret_cast<const char *>(item) + ret.uOffset;
  case STRRET_CSTR:
    return ret.cStr;
  default:
    return std::string();
  }
}

// The icon of a place in the system's small-icon list; -1 when the shell has none.
int ShellIcon(LPCITEMIDLIST absolute, UINT extra) {
  SHFILEINFOA info = {};
  if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof(info),
                      SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra))
    return -1;
  return info.iIcon;
}

// A plain folder's icon, which the shell gives every folder it has no other icon for.
int PlainFolderIcon(UINT extra, HIMAGELIST *list) {
  SHFILEINFOA info = {};
  HIMAGELIST got = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                     SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra));
  if (list)
    *list = got;
  return got ? info.iIcon : -1;
}

} // namespace

// --- TShellTreeNode ---------------------------------------------------------------------------

TShellTreeNode::TShellTreeNode(TShellTreeView *tree, TShellTreeNode *parent, LPITEMIDLIST relative)
    : tree_(tree), parent_(parent), relative_(relative) {}

TShellTreeNode::~TShellTreeNode() {
  if (folder_)
    folder_->Release();
  CoTaskMemFree(absolute_);
  CoTaskMemFree(relative_);
}

LPCITEMIDLIST TShellTreeNode::AbsoluteID() {
  if (!parent_)
    return relative_;
  if (!absolute_)
    absolute_ = JoinLists(parent_->AbsoluteID(), -1, relative_);
  return absolute_;
}

// Asking the shell for a path from the desktop down is slow; inside a folder on disk the path
// is the folder's own and the child's name on disk.
std::string TShellTreeNode::Path() {
  if (pathKnown_)
    return path_;
  pathKnown_ = true;
  IShellFolder *owner = parent_ && parent_->childrenOnDisk_ ? parent_->Folder() : nullptr;
  std::string base = owner ? parent_->Path() : std::string();
  STRRET name;
  if (!base.empty() &&
      SUCCEEDED(owner->GetDisplayNameOf(relative_, SHGDN_INFOLDER | SHGDN_FORPARSING, &name))) {
    if (base.back() != '\\')
      base += '\\';
    path_ = base + StrRetText(name, relative_);
    return path_;
  }
  char path[MAX_PATH * 2] = {};
  LPCITEMIDLIST id = AbsoluteID();
  if (id && SHGetPathFromIDListA(id, path))
    path_ = path;
  return path_;
}

IShellFolder *TShellTreeNode::Folder() {
  if (!folderBound_) {
    folderBound_ = true;
    if (parent_) {
      IShellFolder *from = parent_->Folder();
      void *bound = nullptr;
      if (from && SUCCEEDED(from->BindToObject(relative_, nullptr, IID_IShellFolder, &bound)))
        folder_ = static_cast<IShellFolder *>(bound);
    } else {
      folder_ = tree_->BindFolder(relative_);
    }
  }
  return folder_;
}

SFGAOF TShellTreeNode::Attributes(SFGAOF wanted) {
  IShellFolder *owner = nullptr;
  LPCITEMIDLIST item = relative_;
  if (parent_) {
    owner = parent_->Folder();
    if (owner)
      owner->AddRef();
  } else if (relative_->mkid.cb) {
    // The root: asked of the folder that holds it.
    LPITEMIDLIST above = JoinLists(relative_, ItemCount(relative_) - 1, nullptr);
    owner = tree_->BindFolder(above);
    CoTaskMemFree(above);
    item = LastItem(relative_);
  }
  SFGAOF attributes = wanted;
  if (!owner || FAILED(owner->GetAttributesOf(1, &item, &attributes)))
    attributes = 0;
  if (owner)
    owner->Release();
  return attributes & wanted;
}

// --- TShellTreeView ---------------------------------------------------------------------------

TShellTreeView::TShellTreeView(TComponent *owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 97;
  TabStop = true;
  color_ = clWindow;
}

TShellTreeView::~TShellTreeView() {
  DestroyHandle();
  ClearNodes();
  if (desktop_)
    desktop_->Release();
  if (comInitialized_)
    CoUninitialize();
}

void TShellTreeView::GetCreateParams(CreateParams &params) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  TWinControl::GetCreateParams(params);
  params.windowClass = WC_TREEVIEWA;
  params.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
  if (!hideSelection_)
    params.style |= TVS_SHOWSELALWAYS;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TShellTreeView::HandleCreated() {
  TWinControl::HandleCreated();
  if (!desktop_) {
    // Some places of the namespace are COM objects of their own.
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialized_ = SUCCEEDED(hr);
    SHGetDesktopFolder(&desktop_);
    folderImage_ = PlainFolderIcon(0, &images_);
    folderOpenImage_ = PlainFolderIcon(SHGFI_OPENICON, nullptr);
  }
  SendMessageA(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
  Rebuild();
}

IShellFolder *TShellTreeView::BindFolder(LPCITEMIDLIST absolute) {
  if (!desktop_)
    return nullptr;
  if (!absolute || absolute->mkid.cb == 0) {
    desktop_->AddRef();
    return desktop_;
  }
  void *bound = nullptr;
  if (FAILED(desktop_->BindToObject(absolute, nullptr, IID_IShellFolder, &bound)))
    return nullptr;
  return static_cast<IShellFolder *>(bound);
}

void TShellTreeView::ClearNodes() {
  rootNode_ = nullptr;
  nodes_.clear();
}

TShellTreeNode *TShellTreeView::NewNode(TShellTreeNode *parent, LPITEMIDLIST relative) {
  nodes_.push_back(std::unique_ptr<TShellTreeNode>(new TShellTreeNode(this, parent, relative)));
  return nodes_.back().get();
}

// The root and, shown or not, its children.
void TShellTreeView::Rebuild() {
  if (!handle_)
    return;
  SendMessageA(handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  ClearNodes();
  LPITEMIDLIST root = nullptr;
  if (!desktop_ || FAILED(SHGetSpecialFolderLocation(nullptr, root_, &root)))
    return;
  rootNode_ = NewNode(nullptr, root);
  if (!showRoot_) {
    rootNode_->item_ = TVI_ROOT;
    ListChildren(rootNode_);
    return;
  }
  STRRET name;
  if (SUCCEEDED(desktop_->GetDisplayNameOf(root, SHGDN_NORMAL, &name)))
    rootNode_->text_ = StrRetText(name, root);
  TVINSERTSTRUCTA insert = {};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = rootNode_->text_.data();
  insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.cChildren = 1;
  insert.item.lParam = reinterpret_cast<LPARAM>(rootNode_);
  rootNode_->item_ = reinterpret_cast<HTREEITEM>(
      SendMessageA(handle_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TShellTreeView::ListChildren(TShellTreeNode *node) {
  if (node->listed_)
    return;
  node->listed_ = true;
  node->childrenOnDisk_ = node->Attributes(SFGAO_FILESYSTEM) != 0;
  std::vector<TShellTreeNode *> children;
  IShellFolder *folder = node->Folder();
  IEnumIDList *items = nullptr;
  SHCONTF flags = ((objectTypes_ & otFolders) ? SHCONTF_FOLDERS : 0) |
                  ((objectTypes_ & otNonFolders) ? SHCONTF_NONFOLDERS : 0) |
                  ((objectTypes_ & otHidden) ? SHCONTF_INCLUDEHIDDEN : 0);
  // No window for the shell to ask through: an empty drive simply lists nothing.
  if (folder && folder->EnumObjects(nullptr, flags, &items) == S_OK && items) {
    LPITEMIDLIST item = nullptr;
    ULONG got = 0;
    while (items->Next(1, &item, &got) == S_OK && got == 1) {
      TShellTreeNode *child = NewNode(node, item);
      STRRET name;
      if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &name)))
        child->text_ = StrRetText(name, item);
      children.push_back(child);
    }
    items->Release();
  }
  SortChildren(node, children);
  node->children_ = children;

  HTREEITEM parent = node->item_;
  if (children.empty()) {
    if (parent != TVI_ROOT) {
      TVITEMA none = {};
      none.mask = TVIF_CHILDREN;
      none.hItem = parent;
      none.cChildren = 0;
      SendMessageA(handle_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&none));
    }
    return;
  }
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.cChildren = I_CHILDRENCALLBACK;
  // Straight to the tree's own procedure: thousands of inserts need nothing of ours on the way.
  for (TShellTreeNode *child : children) {
    insert.item.pszText = child->text_.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(child);
    child->item_ = reinterpret_cast<HTREEITEM>(
        CallWindowProcA(oldProc_, handle_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
}

// In a folder on disk the shell orders its folders by name, so the names are compared directly
// (through the locale's sort keys, made once per name); elsewhere (My Computer, the desktop)
// the folder itself says the order.
void TShellTreeView::SortChildren(TShellTreeNode *node, std::vector<TShellTreeNode *> &children) {
  IShellFolder *folder = node->Folder();
  if (children.size() < 2 || !folder)
    return;
  if (!node->childrenOnDisk_) {
    std::stable_sort(children.begin(), children.end(), [folder](auto *a, auto *b) {
      return short(HRESULT_CODE(folder->CompareIDs(0, a->relative_, b->relative_))) < 0;
    });
    return;
  }
  std::vector<std::pair<std::string, TShellTreeNode *>> keyed;
  keyed.reserve(children.size());
  for (TShellTreeNode *child : children) {
    const std::string &text = child->text_;
    int n = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(),
                         int(text.size()), nullptr, 0);
    std::string key(size_t(std::max(n, 0)), '\0');
    if (n > 0)
      LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(),
                   int(text.size()), key.data(), n);
    keyed.emplace_back(std::move(key), child);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  for (size_t i = 0; i < keyed.size(); ++i)
    children[i] = keyed[i].second;
}

// Asking the shell for an icon is slow (it looks into the folder for desktop.ini); a folder on
// disk without the system or read-only mark has no icon of its own, so it takes the plain
// folder's at once.
void TShellTreeView::LookUpIcons(TShellTreeNode *node) {
  if (node->parent_ && node->parent_->childrenOnDisk_) {
    DWORD attributes = GetFileAttributesA(node->Path().c_str());
    const DWORD marks = FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(attributes & marks)) {
      node->image_ = folderImage_;
      node->openImage_ = folderOpenImage_;
      return;
    }
  }
  node->image_ = ShellIcon(node->AbsoluteID(), 0);
  node->openImage_ = ShellIcon(node->AbsoluteID(), SHGFI_OPENICON);
  if (node->openImage_ < 0)
    node->openImage_ = node->image_;
}

bool TShellTreeView::HasChildren(TShellTreeNode *node) {
  SFGAOF wanted = (objectTypes_ & otNonFolders) ? SFGAO_FOLDER : SFGAO_HASSUBFOLDER;
  return node->Attributes(wanted) != 0;
}

TShellTreeNode *TShellTreeView::NodeAt(POINT client, UINT flags) {
  TVHITTESTINFO hit = {};
  hit.pt = client;
  SendMessageA(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (!hit.hItem || !(hit.flags & flags))
    return nullptr;
  TVITEMA item = {};
  item.mask = TVIF_PARAM;
  item.hItem = hit.hItem;
  SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return NodeOf(item.lParam);
}

bool TShellTreeView::NotifyNotify(NMHDR *header, LRESULT &result) {
  switch (header->code) {
  case TVN_GETDISPINFOA:
  case TVN_GETDISPINFOW: {
    // The two layouts agree on everything but the text, which the tree holds itself.
    TVITEMA &item = reinterpret_cast<NMTVDISPINFOA *>(header)->item;
    TShellTreeNode *node = NodeOf(item.lParam);
    if (!node)
      return true;
    if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
      if (node->image_ < 0)
        LookUpIcons(node);
      item.iImage = node->image_;
      item.iSelectedImage = node->openImage_;
    }
    if (item.mask & TVIF_CHILDREN)
      item.cChildren = HasChildren(node) ? 1 : 0;
    item.mask |= TVIF_DI_SETITEM;
    return true;
  }
  case TVN_ITEMEXPANDINGA:
  case TVN_ITEMEXPANDINGW: {
    auto *nm = reinterpret_cast<NMTREEVIEWA *>(header);
    if ((nm->action & TVE_EXPAND) && nm->itemNew.lParam)
      ListChildren(NodeOf(nm->itemNew.lParam));
    result = FALSE;
    return true;
  }
  case TVN_SELCHANGEDA:
  case TVN_SELCHANGEDW:
    if (OnChange && !EventsMuted())
      OnChange(this);
    return true;
  case NM_CLICK: {
    // The tree selects a clicked node only after telling of the click; the click's handler
    // reads the node it was given, so the node is selected first. Clicks beside the nodes (on
    // a button, in the empty space) are no click on a node.
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    if (TShellTreeNode *node = NodeAt(p, TVHT_ONITEM)) {
      Select(node);
      Click();
    }
    result = 0;
    return true;
  }
  case NM_RCLICK: {
    if (RightClickSelect) {
      POINT p;
      GetCursorPos(&p);
      ::ScreenToClient(handle_, &p);
      if (TShellTreeNode *node = NodeAt(p, TVHT_ONITEM))
        Select(node);
    }
    result = 0;
    return true;
  }
  default:
    return false;
  }
}

void TShellTreeView::SetRoot(int csidl) {
  root_ = csidl;
  Rebuild();
}

void TShellTreeView::SetShowRoot(bool value) {
  showRoot_ = value;
  Rebuild();
}

void TShellTreeView::SetObjectTypes(TShellObjectTypes value) {
  objectTypes_ = value;
  Rebuild();
}

void TShellTreeView::SetHideSelection(bool value) {
  hideSelection_ = value;
  if (handle_) {
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE,
                   value ? style & ~TVS_SHOWSELALWAYS : style | TVS_SHOWSELALWAYS);
    InvalidateRect(handle_, nullptr, TRUE);
  }
}

int TShellTreeView::TopCount() {
  HandleNeeded();
  if (!rootNode_)
    return 0;
  return showRoot_ ? 1 : rootNode_->Count();
}

TShellTreeNode *TShellTreeView::TopItem(int index) {
  HandleNeeded();
  return showRoot_ ? rootNode_ : rootNode_->Item(index);
}

TShellTreeNode *TShellTreeView::Selected() const {
  if (!handle_)
    return nullptr;
  TVITEMA item = {};
  item.mask = TVIF_PARAM;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item.hItem || !SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
    return nullptr;
  return NodeOf(item.lParam);
}

void TShellTreeView::Select(TShellTreeNode *node) {
  HandleNeeded();
  HTREEITEM item = node && node->item_ != TVI_ROOT ? node->item_ : nullptr;
  SendMessageA(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  if (item)
    SendMessageA(handle_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

std::string TShellTreeView::Path() const {
  TShellTreeNode *node = Selected();
  return node ? node->Path() : std::string();
}

void TShellTreeView::Expand(TShellTreeNode *node) {
  HandleNeeded();
  if (!node)
    return;
  ListChildren(node);
  if (node->item_ != TVI_ROOT)
    SendMessageA(handle_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->item_));
}

TShellTreeNode *TShellTreeView::FindPath(const std::string &path) {
  HandleNeeded();
  if (!rootNode_ || !desktop_ || path.empty())
    return nullptr;
  std::wstring wide = Wide(path);
  LPITEMIDLIST target = nullptr;
  if (FAILED(desktop_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &target, nullptr)))
    return nullptr;
  TShellTreeNode *found = nullptr;
  TShellTreeNode *node = rootNode_;
  if (showRoot_ && SamePlace(desktop_, node->AbsoluteID(), target))
    found = node;
  while (!found && node) {
    Expand(node);
    TShellTreeNode *next = nullptr;
    for (TShellTreeNode *child : node->children_) {
      LPCITEMIDLIST id = child->AbsoluteID();
      if (SamePlace(desktop_, id, target)) {
        found = child;
        break;
      }
      if (Contains(desktop_, id, target)) {
        next = child;
        break;
      }
    }
    node = next;
  }
  CoTaskMemFree(target);
  return found;
}

bool TShellTreeView::SetPath(const std::string &path) {
  TShellTreeNode *node = FindPath(path);
  if (node)
    Select(node);
  return node != nullptr;
}

RECT TShellTreeView::ItemRect(TShellTreeNode *node) {
  RECT r = {};
  if (!handle_ || !node || node->item_ == TVI_ROOT)
    return r;
  // The request names the item in the rectangle's first bytes.
  HTREEITEM item = node->item_;
  memcpy(&r, &item, sizeof(item));
  if (!SendMessageA(handle_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)))
    r = RECT{};
  return r;
}

} // namespace tk
