#include "toolkit/core/Classes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tk {

namespace {

void Erase(std::vector<TComponent *> &list, TComponent *item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

bool Contains(const std::vector<TComponent *> &list, const TComponent *item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

[[noreturn]] void RaiseIndexError(int index) {
  throw EListError(FormatText(texts::ListIndexError, {std::to_string(index)}));
}

// The components whose code runs now, and the loops under way: single-threaded, as the
// windows they stand for. A component that goes leaves a hole in both, never a dangling entry.
std::vector<TComponent *> g_running;
std::vector<TNestedLoop *> g_loops;

} // namespace

// --- TComponent ---------------------------------------------------------------------------

TComponent::TComponent(TComponent *owner) {
  if (owner)
    owner->InsertComponent(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  std::replace(g_running.begin(), g_running.end(), this, static_cast<TComponent *>(nullptr));
  for (TNestedLoop *loop : g_loops)
    std::replace(loop->counted_.begin(), loop->counted_.end(), this,
                 static_cast<TComponent *>(nullptr));
  Vanish();
  DestroyComponents();
}

void TComponent::DestroyComponents() {
  // Newest first, so a component never outlives what was made before it; each one is
  // announced and unhooked while it is still whole, then freed.
  while (!components_.empty()) {
    TComponent *last = components_.back();
    last->destroying_ = true;
    last->Vanish();
    delete last;
  }
}

// --- TRunningCode, TNestedLoop -----------------------------------------------------------

TRunningCode::TRunningCode(TComponent *component) { g_running.push_back(component); }

TRunningCode::~TRunningCode() { g_running.pop_back(); }

TNestedLoop::TNestedLoop(TComponent *within) {
  for (TComponent *running : g_running)
    Count(running);
  Count(within);
  g_loops.push_back(this);
}

void TNestedLoop::Count(TComponent *component) {
  for (TComponent *c = component; c; c = c->owner_) {
    if (Contains(counted_, c))
      return; // and so are its owners
    counted_.push_back(c);
    ++c->loops_;
  }
}

TNestedLoop::~TNestedLoop() {
  g_loops.erase(std::remove(g_loops.begin(), g_loops.end(), this), g_loops.end());
  // Every count first, then the news: an owner hears that its loops ended only once they have
  // for everything it owns too.
  std::vector<TComponent *> ended;
  for (TComponent *c : counted_)
    if (c && --c->loops_ == 0)
      ended.push_back(c);
  for (TComponent *c : ended)
    c->LoopsEnded();
}

bool TComponent::InTeardown() const {
  for (const TComponent *c = this; c; c = c->owner_)
    if (c->destroying_)
      return true;
  return false;
}

void TComponent::Vanish() {
  // Partners that are also the owner or siblings hear of it through RemoveComponent below;
  // nobody is told twice.
  std::vector<TComponent *> partners = freeNotifies_;
  for (TComponent *partner : partners) {
    if (!Contains(freeNotifies_, partner))
      continue; // an earlier notification already cut this link
    Erase(freeNotifies_, partner);
    Erase(partner->freeNotifies_, this);
    bool toldAnyway = owner_ && (partner == owner_ || partner->owner_ == owner_);
    if (!toldAnyway)
      partner->Notification(this, TOperation::opRemove);
  }
  if (owner_)
    owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string &name) {
  if (name == name_)
    return;
  if (owner_ && !name.empty()) {
    TComponent *other = owner_->FindComponent(name);
    if (other && other != this)
      throw EComponentError(FormatText(texts::DuplicateName, {name}));
  }
  name_ = name;
}

TComponent *TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    RaiseIndexError(index);
  return components_[size_t(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_)
    return -1;
  const auto &list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

TComponent *TComponent::FindComponent(const std::string &name) const {
  if (name.empty())
    return nullptr;
  for (TComponent *c : components_)
    if (SameText(c->name_, name))
      return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent *component) {
  if (!component || component->owner_ == this)
    return;
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError(FormatText(texts::DuplicateName, {component->name_}));
  if (component->owner_)
    component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;

  Notification(component, TOperation::opInsert);
  std::vector<TComponent *> others = components_;
  for (TComponent *other : others)
    if (other != component && Contains(components_, other))
      other->Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent *component) {
  if (!component || component->owner_ != this)
    return;
  // Everyone hears while the component is still in the list, so a handler can still look it up.
  Notification(component, TOperation::opRemove);
  std::vector<TComponent *> others = components_;
  for (TComponent *other : others)
    if (other != component && Contains(components_, other))
      other->Notification(component, TOperation::opRemove);
  Erase(components_, component);
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent *other) {
  if (!other || other == this)
    return;
  if (!Contains(freeNotifies_, other))
    freeNotifies_.push_back(other);
  if (!Contains(other->freeNotifies_, this))
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent *other) {
  if (!other)
    return;
  Erase(freeNotifies_, other);
  Erase(other->freeNotifies_, this);
}

void TComponent::Notification(TComponent *, TOperation) {}

// --- TStringList --------------------------------------------------------------------------

namespace {

// Case-insensitive order folds to lower case, which puts "_" and the other signs between "Z"
// and "a" ahead of the letters, as the system's own sorting does.
int CompareFolded(const std::string &a, const std::string &b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z')
      x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z')
      y = static_cast<unsigned char>(y + 32);
    if (x != y)
      return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareStrings(const std::string &a, const std::string &b, bool caseSensitive) {
  if (!caseSensitive)
    return CompareFolded(a, b);
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string SystemErrorText(int error) {
  std::string text = std::strerror(error);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '.'))
    text.pop_back();
  return text;
}

} // namespace

const std::string &TStringList::Strings(int index) const {
  if (index < 0 || index >= Count())
    RaiseIndexError(index);
  return items_[size_t(index)];
}

void TStringList::SetString(int index, const std::string &value) {
  if (index < 0 || index >= Count())
    RaiseIndexError(index);
  items_[size_t(index)] = value;
  Changed();
}

void *TStringList::Objects(int index) const {
  if (index < 0 || index >= Count())
    RaiseIndexError(index);
  return objects_[size_t(index)];
}

void TStringList::SetObject(int index, void *object) {
  if (index < 0 || index >= Count())
    RaiseIndexError(index);
  objects_[size_t(index)] = object;
}

int TStringList::Add(const std::string &value) { return AddObject(value, nullptr); }

int TStringList::AddObject(const std::string &value, void *object) {
  int index = Count();
  if (Sorted) {
    // First position whose item sorts after the value; an equal item already there is kept
    // and the new one dropped, so a sorted list holds each text once.
    int lo = 0, hi = Count();
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      int c = CompareStrings(items_[size_t(mid)], value, CaseSensitive);
      if (c == 0)
        return mid;
      if (c < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    index = lo;
  }
  items_.insert(items_.begin() + index, value);
  objects_.insert(objects_.begin() + index, object);
  Changed();
  return index;
}

void TStringList::Insert(int index, const std::string &value) {
  if (index < 0 || index > Count())
    RaiseIndexError(index);
  items_.insert(items_.begin() + index, value);
  objects_.insert(objects_.begin() + index, nullptr);
  Changed();
}

void TStringList::Delete(int index) {
  if (index < 0 || index >= Count())
    RaiseIndexError(index);
  items_.erase(items_.begin() + index);
  objects_.erase(objects_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty())
    return;
  items_.clear();
  objects_.clear();
  Changed();
}

void TStringList::BeginUpdate() { ++updateCount_; }

void TStringList::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Changed();
  }
}

void TStringList::Changed() {
  if (updateCount_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  if (OnChange)
    OnChange();
}

int TStringList::IndexOf(const std::string &value) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (CompareStrings(items_[i], value, CaseSensitive) == 0)
      return int(i);
  return -1;
}

void TStringList::Exchange(int a, int b) {
  if (a < 0 || a >= Count())
    RaiseIndexError(a);
  if (b < 0 || b >= Count())
    RaiseIndexError(b);
  std::swap(items_[size_t(a)], items_[size_t(b)]);
  std::swap(objects_[size_t(a)], objects_[size_t(b)]);
  Changed();
}

void TStringList::Sort() {
  std::vector<size_t> order(items_.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return CompareStrings(items_[a], items_[b], CaseSensitive) < 0;
  });
  std::vector<std::string> items;
  std::vector<void *> objects;
  items.reserve(order.size());
  objects.reserve(order.size());
  for (size_t i : order) {
    items.push_back(std::move(items_[i]));
    objects.push_back(objects_[i]);
  }
  items_ = std::move(items);
  objects_ = std::move(objects);
  Changed();
}

std::string TStringList::Names(int index) const {
  const std::string &line = Strings(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string &line = Strings(index);
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TStringList::Values(const std::string &name) const {
  int index = IndexOfName(name);
  return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValue(const std::string &name, const std::string &value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0)
      Delete(index);
  } else if (index >= 0) {
    items_[size_t(index)] = name + "=" + value;
  } else {
    Add(name + "=" + value);
  }
}

int TStringList::IndexOfName(const std::string &name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq != std::string::npos &&
        CompareStrings(items_[i].substr(0, eq), name, CaseSensitive) == 0)
      return int(i);
  }
  return -1;
}

std::string TStringList::GetText() const {
  std::string text;
  for (const std::string &line : items_)
    text.append(line).append("\r\n");
  return text;
}

void TStringList::SetText(const std::string &text) {
  BeginUpdate();
  Clear();
  size_t i = 0, n = text.size();
  while (i < n) {
    size_t start = i;
    while (i < n && text[i] != '\r' && text[i] != '\n')
      ++i;
    Add(text.substr(start, i - start));
    // One break is CR, LF or CR LF; LF CR is two.
    if (i < n && text[i] == '\r')
      ++i;
    if (i < n && text[i] == '\n')
      ++i;
  }
  EndUpdate();
}

std::string TStringList::GetCommaText() const {
  // A lone empty item must still read back as one item.
  if (items_.size() == 1 && items_[0].empty())
    return "\"\"";
  std::string text;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i)
      text += ',';
    const std::string &item = items_[i];
    bool quote = std::any_of(item.begin(), item.end(),
                             [](char c) { return IsBlank(c) || c == ',' || c == '"'; });
    if (!quote) {
      text += item;
      continue;
    }
    text += '"';
    for (char c : item) {
      if (c == '"')
        text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

// Items are parted by commas or by blanks; a quoted item keeps its blanks and commas and
// doubles its quotes. A comma at the very end makes one more, empty item.
void TStringList::SetCommaText(const std::string &text) {
  BeginUpdate();
  Clear();
  size_t i = 0, n = text.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(text[i]))
      ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      size_t start = i;
      while (i < n && !IsBlank(text[i]) && text[i] != ',')
        ++i;
      item = text.substr(start, i - start);
    }
    Add(item);
    skipBlanks();
    if (i < n && text[i] == ',') {
      ++i;
      if (i == n)
        Add(std::string());
      skipBlanks();
    }
  }
  EndUpdate();
}

void TStringList::LoadFromFile(const std::string &fileName) {
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, SystemErrorText(errno)}));
  std::string bytes;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
    bytes.append(buffer, got);
  // A folder opens on some systems and only fails to read.
  int error = std::ferror(file) ? (errno ? errno : EIO) : 0;
  std::fclose(file);
  if (error)
    throw EFOpenError(FormatText(texts::OpenFileFailed, {fileName, SystemErrorText(error)}));
  SetText(bytes);
}

void TStringList::SaveToFile(const std::string &fileName) const {
  std::FILE *file = std::fopen(fileName.c_str(), "wb");
  if (!file)
    throw EFCreateError(FormatText(texts::CreateFileFailed, {fileName, SystemErrorText(errno)}));
  std::string text = GetText();
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  int error = written ? 0 : (errno ? errno : EIO);
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno ? errno : EIO;
  }
  // A full disk shows up only here; report it like a failed create rather than leave a
  // silently truncated file.
  if (!written)
    throw EFCreateError(FormatText(texts::CreateFileFailed, {fileName, SystemErrorText(error)}));
}

} // namespace tk
