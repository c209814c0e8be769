// The shell's namespace as a tree: a tree view whose nodes are the shell's folders (drives,
// file-system folders and the shell's own), with the shell's names and small icons.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/forms/Controls.h"

namespace tk {

enum TShellObjectType : uint32_t {
  otFolders = 1u << 0,
  otNonFolders = 1u << 1,
  otHidden = 1u << 2,
};
using TShellObjectTypes = uint32_t;

class TShellTreeView;

// One place of the namespace. Nodes belong to their tree and live as long as its window.
class TShellTreeNode {
public:
  ~TShellTreeNode();
  TShellTreeNode(const TShellTreeNode &) = delete;
  TShellTreeNode &operator=(const TShellTreeNode &) = delete;

  TShellTreeNode *Parent() const { return parent_; }
  // The shell's name for it, as the tree shows it.
  const std::string &Text() const { return text_; }
  // Its file-system path (drive roots end in a backslash, folders don't); "" for places of the
  // shell that are no folder on disk.
  std::string Path();
  // Its place in the namespace from the desktop.
  LPCITEMIDLIST AbsoluteID();
  HTREEITEM ItemId() const { return item_; }
  // The children listed so far: a node lists them when it is first expanded.
  bool Listed() const { return listed_; }
  int Count() const { return int(children_.size()); }
  TShellTreeNode *Item(int index) const { return children_[size_t(index)]; }

private:
  friend class TShellTreeView;
  TShellTreeNode(TShellTreeView *tree, TShellTreeNode *parent, LPITEMIDLIST relative);
  // The shell folder behind this node, bound on first use; nullptr when it has none.
  IShellFolder *Folder();
  SFGAOF Attributes(SFGAOF wanted);

  TShellTreeView *tree_;
  TShellTreeNode *parent_;
  LPITEMIDLIST relative_; // from the parent (from the desktop for the root)
  LPITEMIDLIST absolute_ = nullptr;
  IShellFolder *folder_ = nullptr;
  bool folderBound_ = false;
  HTREEITEM item_ = nullptr; // TVI_ROOT for a root that is not shown
  std::string text_;
  std::string path_;
  bool pathKnown_ = false;
  int image_ = -1, openImage_ = -1;
  bool listed_ = false;
  bool childrenOnDisk_ = false; // a folder on disk: its children are files and folders
  std::vector<TShellTreeNode *> children_;
};

// Children are listed when their node is first expanded, and their icons and buttons looked up
// only when the tree shows them. The tree does not follow later changes on disk.
class TShellTreeView : public TWinControl {
public:
  explicit TShellTreeView(TComponent *owner);
  ~TShellTreeView() override;
  const char *ClassName() const override { return "TShellTreeView"; }

  // The namespace folder at the top, as a CSIDL_ number (My Computer unless told otherwise).
  int Root() const { return root_; }
  void SetRoot(int csidl);
  // false: the root's children stand at the top instead of the root itself.
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  TShellObjectTypes ObjectTypes() const { return objectTypes_; }
  void SetObjectTypes(TShellObjectTypes value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // A right click selects the node under the mouse.
  bool RightClickSelect = true;

  // The nodes at the top.
  int TopCount();
  TShellTreeNode *TopItem(int index);
  TShellTreeNode *Selected() const;
  void Select(TShellTreeNode *node);
  // The selected node's file-system path, "" for none.
  std::string Path() const;
  // Expands the tree down to the folder of a path and returns its node, or nullptr when the
  // path names nothing in the tree. FindPath leaves the selection alone; SetPath selects it.
  TShellTreeNode *FindPath(const std::string &path);
  bool SetPath(const std::string &path);
  void Expand(TShellTreeNode *node);
  // The node's text in client coordinates; empty while the node is out of sight.
  RECT ItemRect(TShellTreeNode *node);

  // The selection moved (by the user or from code).
  TNotifyEvent OnChange;

protected:
  void GetCreateParams(CreateParams &params) override;
  void HandleCreated() override;
  bool NotifyNotify(NMHDR *header, LRESULT &result) override;

private:
  friend class TShellTreeNode;
  void Rebuild();
  // A folder of the namespace by its place from the desktop (a new reference).
  IShellFolder *BindFolder(LPCITEMIDLIST absolute);
  void ClearNodes();
  TShellTreeNode *NewNode(TShellTreeNode *parent, LPITEMIDLIST relative);
  void ListChildren(TShellTreeNode *node);
  void SortChildren(TShellTreeNode *node, std::vector<TShellTreeNode *> &children);
  void LookUpIcons(TShellTreeNode *node);
  bool HasChildren(TShellTreeNode *node);
  TShellTreeNode *NodeAt(POINT client, UINT flags);
  static TShellTreeNode *NodeOf(LPARAM param) { return reinterpret_cast<TShellTreeNode *>(param); }

  int root_ = CSIDL_DRIVES;
  bool showRoot_ = true;
  TShellObjectTypes objectTypes_ = otFolders;
  bool hideSelection_ = true;

  IShellFolder *desktop_ = nullptr;
  bool comInitialized_ = false;
  HIMAGELIST images_ = nullptr; // the system's small icons; the system's, never freed
  int folderImage_ = -1, folderOpenImage_ = -1;
  TShellTreeNode *rootNode_ = nullptr;
  std::vector<std::unique_ptr<TShellTreeNode>> nodes_;
};

} // namespace tk
