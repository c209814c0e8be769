// The component model and string lists of the toolkit's core. Portable: no Win32 here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/core/SysUtils.h"

namespace tk {

enum class TOperation { opInsert, opRemove };

// A component has a Name, a Tag and an Owner. The owner keeps its components in one ordered
// list (creation order) and frees them in reverse order when it is freed; before each one goes,
// every component still in the list hears of the removal through Notification.
class TComponent {
public:
  explicit TComponent(TComponent *owner);
  virtual ~TComponent();
  TComponent(const TComponent &) = delete;
  TComponent &operator=(const TComponent &) = delete;

  const std::string &GetName() const { return name_; }
  // Raises EComponentError when a sibling of the same owner already has the name (any case).
  void SetName(const std::string &name);
  int Tag = 0;

  TComponent *GetOwner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent *Components(int index) const; // raises EListError out of range
  int ComponentIndex() const;              // position in the owner's list, -1 without owner
  // Case-insensitive search of the owned list by name; nullptr when there is none.
  TComponent *FindComponent(const std::string &name) const;

  // Frees every owned component, newest first. Classes whose parts must still be whole while
  // their components go (windows with children) call it early in their own destructor.
  void DestroyComponents();

  void InsertComponent(TComponent *component);
  void RemoveComponent(TComponent *component);

  // Called once the owner's build is complete (forms call it on every component).
  virtual void Loaded() { loading_ = false; }
  bool IsLoading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  bool IsDestroying() const { return destroying_; }
  // True while this component or one that owns it is being destroyed: what is left of it may
  // already be gone, so nothing of it may run user code then.
  bool InTeardown() const;
  // Marks the start of the component's destruction; the owner does it before deleting what it
  // owns, and a class that can be deleted on its own does it first thing in its destructor.
  void BeginDestroying() { destroying_ = true; }

  // Sets up a two-way link: each tells the other when it goes away.
  void FreeNotification(TComponent *other);
  void RemoveFreeNotification(TComponent *other);

  virtual const char *ClassName() const { return "TComponent"; }

  // How many message loops run now inside code of this component or of one it owns (see
  // TNestedLoop): while there are any, freeing it would pull it from under that code.
  int Loops() const { return loops_; }

protected:
  virtual void Notification(TComponent *component, TOperation operation);
  // The last loop counted in Loops() has returned: what had to wait for it may go on now. It
  // must not free anything itself, since the code that ran the loop still runs.
  virtual void LoopsEnded() {}
  // Points a link of this component at another one, moving the two-way free notification along
  // with it; false when the link already pointed there.
  template <class T> bool Relink(T *&link, T *target) {
    if (target == link)
      return false;
    if (link)
      link->RemoveFreeNotification(this);
    link = target;
    if (link)
      link->FreeNotification(this);
    return true;
  }

private:
  // Tells the owner, the siblings and the partners that this component goes, and unhooks it.
  void Vanish();

  std::string name_;
  TComponent *owner_ = nullptr;
  std::vector<TComponent *> components_;
  std::vector<TComponent *> freeNotifies_;
  bool loading_ = false;
  bool destroying_ = false;
  int loops_ = 0;
  friend class TNestedLoop;
};

// Held while code of a component runs on behalf of the message loop: a window's message, a
// timer's tick, a form's creation. They nest, innermost last.
class TRunningCode {
public:
  explicit TRunningCode(TComponent *component);
  ~TRunningCode();
  TRunningCode(const TRunningCode &) = delete;
  TRunningCode &operator=(const TRunningCode &) = delete;
};

// Held while a message loop of its own runs inside code (a prompt, a popup menu, the pump of
// long work). Every component whose code is running then, the one given (whose work pumps)
// and every owner of those count the loop in Loops() until it returns: a form among them must
// neither close nor be freed meanwhile, since the code that started the loop resumes in it.
class TNestedLoop {
public:
  explicit TNestedLoop(TComponent *within = nullptr);
  ~TNestedLoop();
  TNestedLoop(const TNestedLoop &) = delete;
  TNestedLoop &operator=(const TNestedLoop &) = delete;

private:
  void Count(TComponent *component);
  std::vector<TComponent *> counted_;
  friend class TComponent;
};

// An ordered list of strings, each with an optional object. Text I/O uses the system's line
// breaks: loading splits at CR, LF or CR LF and makes no empty last item for a final break;
// saving writes CR LF after every line.
class TStringList {
public:
  TStringList() = default;
  virtual ~TStringList() = default;

  int Count() const { return int(items_.size()); }
  const std::string &Strings(int index) const; // raises EListError out of range
  void SetString(int index, const std::string &value);
  void *Objects(int index) const;
  void SetObject(int index, void *object);
  int Add(const std::string &value);
  int AddObject(const std::string &value, void *object);
  void Insert(int index, const std::string &value);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string &value) const; // case-insensitive, -1 when absent
  void Exchange(int a, int b);
  void Sort(); // case-insensitive

  // "Name=Value" lines.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(const std::string &name) const;
  void SetValue(const std::string &name, const std::string &value); // empty value deletes
  int IndexOfName(const std::string &name) const;

  std::string GetText() const; // every line followed by CR LF
  void SetText(const std::string &text);
  std::string GetCommaText() const;
  void SetCommaText(const std::string &text);

  // Raise EFOpenError / EFCreateError with the library's texts on failure.
  void LoadFromFile(const std::string &fileName);
  void SaveToFile(const std::string &fileName) const;

  bool Sorted = false; // when set, Add inserts in order and skips a text already there
  bool CaseSensitive = false;

  const std::vector<std::string> &Items() const { return items_; }

  // Fired after every change of the items (once per update bracket); controls that show a
  // list keep their window in step through it.
  std::function<void()> OnChange;
  void BeginUpdate();
  void EndUpdate();

private:
  void Changed();
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
  std::vector<std::string> items_;
  std::vector<void *> objects_;
};

using TStrings = TStringList;

} // namespace tk
