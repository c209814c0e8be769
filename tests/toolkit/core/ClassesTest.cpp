#include "toolkit/core/Classes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace tk;

namespace {

// Writes what it hears and when it goes into a log shared by a whole family of components.
class Recorder : public TComponent {
public:
  Recorder(TComponent *owner, const std::string &name, std::vector<std::string> &log)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Recorder() override { log_.push_back("~" + GetName()); }

protected:
  void Notification(TComponent *component, TOperation operation) override {
    log_.push_back(GetName() + (operation == TOperation::opInsert ? " +" : " -") +
                   component->GetName());
  }

private:
  std::vector<std::string> &log_;
};

using Log = std::vector<std::string>;

} // namespace

TEST(Components, OwnerListsItsComponentsInCreationOrder) {
  TComponent owner(nullptr);
  auto *a = new TComponent(&owner);
  auto *b = new TComponent(&owner);
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(b->GetOwner(), &owner);
  EXPECT_EQ(owner.ComponentIndex(), -1);
  try {
    owner.Components(2);
    ADD_FAILURE() << "no error";
  } catch (const EListError &e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(owner.Components(-1), EListError);
}

TEST(Components, OwnerFreesNewestFirstAndWarnsTheRestBeforeEachGoes) {
  Log log;
  auto *owner = new Recorder(nullptr, "form", log);
  new Recorder(owner, "a", log);
  auto *b = new Recorder(owner, "b", log);
  new Recorder(b, "b1", log);
  new Recorder(owner, "c", log);
  log.clear();
  delete owner;
  // A component's own part is gone before its children are freed, so b cannot hear of b1.
  Log expected = {"~form", "a -c", "b -c", "~c", "a -b", "~b", "~b1", "~a"};
  EXPECT_EQ(log, expected);
}

TEST(Components, InsertionAndRemovalReachOwnerAndSiblings) {
  Log log;
  Recorder owner(nullptr, "form", log);
  auto *a = new Recorder(&owner, "a", log);
  new Recorder(&owner, "b", log);
  Recorder c(nullptr, "c", log);
  log.clear();

  owner.InsertComponent(&c);
  EXPECT_EQ(log, (Log{"form +c", "a +c", "b +c"}));
  log.clear();
  owner.RemoveComponent(&c);
  EXPECT_EQ(log, (Log{"form -c", "a -c", "b -c"}));
  EXPECT_EQ(c.GetOwner(), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 2);

  log.clear();
  delete a; // on its own: leaves the owner's list and tells the others
  EXPECT_EQ(log, (Log{"~a", "form -a", "b -a"}));
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.FindComponent("a"), nullptr);
}

TEST(Components, FreeNotificationPartnersHearOnceAndCanUnlink) {
  Log log;
  Recorder form(nullptr, "form", log);
  auto *sibling = new Recorder(&form, "sibling", log);
  auto *target = new Recorder(&form, "target", log);
  Recorder outsider(nullptr, "outsider", log);
  Recorder dropped(nullptr, "dropped", log);
  target->FreeNotification(&outsider);
  target->FreeNotification(sibling); // also a sibling: must not hear twice
  target->FreeNotification(&dropped);
  target->RemoveFreeNotification(&dropped);
  log.clear();
  delete target;
  EXPECT_EQ(log, (Log{"~target", "outsider -target", "form -target", "sibling -target"}));

  // The link is two-way: the outsider going first tells the sibling, and neither keeps a
  // pointer to the other afterwards.
  auto *early = new Recorder(nullptr, "early", log);
  early->FreeNotification(sibling);
  log.clear();
  delete early;
  EXPECT_EQ(log, (Log{"~early", "sibling -early"}));
}

TEST(Components, NamesAreUniqueAmongSiblingsIgnoringCase) {
  TComponent owner(nullptr), other(nullptr);
  auto *first = new TComponent(&owner);
  auto *second = new TComponent(&owner);
  auto *elsewhere = new TComponent(&other);
  first->SetName("Button1");
  second->SetName("Label1");
  EXPECT_EQ(owner.FindComponent("BUTTON1"), first);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_EQ(owner.FindComponent("Button"), nullptr);
  try {
    second->SetName("button1");
    ADD_FAILURE() << "no error";
  } catch (const EComponentError &e) {
    EXPECT_EQ(e.Message(), "A component named button1 already exists");
  }
  EXPECT_EQ(second->GetName(), "Label1");
  first->SetName("BUTTON1"); // its own name in another case is no clash
  elsewhere->SetName("Label1");

  // Moving a component into a family that has its name is refused and changes nothing.
  EXPECT_THROW(owner.InsertComponent(elsewhere), EComponentError);
  EXPECT_EQ(elsewhere->GetOwner(), &other);
  elsewhere->SetName("Panel1");
  owner.InsertComponent(elsewhere);
  EXPECT_EQ(other.ComponentCount(), 0);
  EXPECT_EQ(elsewhere->ComponentIndex(), 2);
}

namespace {

class StringFiles : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device random;
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = std::filesystem::temp_directory_path() /
           ("lgclasses_" + std::to_string(stamp) + "_" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string &name) const { return (dir_ / name).string(); }
  void Write(const std::string &name, const std::string &bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string &name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path dir_;
};

} // namespace

TEST_F(StringFiles, LoadSplitsAtEveryKindOfLineBreak) {
  TStringList list;
  Write("mixed.txt", "a\r\nb\nc\rd\n\re\xE9\x80");
  list.LoadFromFile(Path("mixed.txt"));
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "b", "c", "d", "", "e\xE9\x80"}));

  Write("final.txt", "only\r\n\r\n");
  list.LoadFromFile(Path("final.txt")); // replaces, and only the very last break is dropped
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"only", ""}));

  Write("empty.txt", "");
  list.LoadFromFile(Path("empty.txt"));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(StringFiles, SaveEndsEveryLineWithCrLf) {
  TStringList list;
  list.Add("first");
  list.Add("");
  list.Add("x=\xFF");
  list.SaveToFile(Path("out.txt"));
  EXPECT_EQ(Read("out.txt"), "first\r\n\r\nx=\xFF\r\n");
  list.Clear();
  list.SaveToFile(Path("out.txt"));
  EXPECT_EQ(Read("out.txt"), "");
}

TEST_F(StringFiles, FailuresNameTheFileAndTheReason) {
  TStringList list;
  std::string missing = Path("missing.txt");
  try {
    list.LoadFromFile(missing);
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError &e) {
    std::string head = "Cannot open file \"" + missing + "\". ";
    EXPECT_EQ(e.Message().substr(0, head.size()), head);
    EXPECT_GT(e.Message().size(), head.size()) << "no reason given";
  }
  // A folder is no text file, whether the system refuses to open it or to read it.
  EXPECT_THROW(list.LoadFromFile(dir_.string()), EFOpenError);

  std::string nowhere = Path("no such folder") + "/out.txt";
  try {
    list.SaveToFile(nowhere);
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError &e) {
    std::string head = "Cannot create file \"" + nowhere + "\". ";
    EXPECT_EQ(e.Message().substr(0, head.size()), head);
    EXPECT_GT(e.Message().size(), head.size()) << "no reason given";
  }
}

TEST(StringList, IndexesOutOfRangeRaiseTheLibraryText) {
  TStringList list;
  list.Add("a");
  auto expectIndexError = [](auto call, const char *text) {
    try {
      call();
      ADD_FAILURE() << "no error for " << text;
    } catch (const EListError &e) {
      EXPECT_EQ(e.Message(), text);
    }
  };
  expectIndexError([&] { list.Strings(1); }, "List index out of bounds (1)");
  expectIndexError([&] { list.Delete(-1); }, "List index out of bounds (-1)");
  expectIndexError([&] { list.Insert(2, "x"); }, "List index out of bounds (2)");
  expectIndexError([&] { list.Exchange(0, 5); }, "List index out of bounds (5)");
  expectIndexError([&] { list.SetObject(3, nullptr); }, "List index out of bounds (3)");
  list.Insert(1, "end"); // just past the last is a valid place to insert
  EXPECT_EQ(list.Strings(1), "end");
}

TEST(StringList, SearchAndOrderIgnoreCaseUnlessAskedNotTo) {
  TStringList list;
  list.Sorted = true;
  int one = 1, two = 2;
  EXPECT_EQ(list.AddObject("beta", &two), 0);
  EXPECT_EQ(list.AddObject("Alpha", &one), 0);
  EXPECT_EQ(list.Add("a_b"), 0) << "signs sort ahead of letters";
  EXPECT_EQ(list.Add("ALPHA"), 1) << "an equal text is not added twice";
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a_b", "Alpha", "beta"}));
  EXPECT_EQ(list.Objects(2), &two);
  EXPECT_EQ(list.IndexOf("BETA"), 2);

  TStringList loose;
  loose.SetCommaText("c,B,a,b");
  loose.SetObject(1, &one);
  loose.Sort();
  EXPECT_EQ(loose.Items(), (std::vector<std::string>{"a", "B", "b", "c"}));
  EXPECT_EQ(loose.Objects(1), &one) << "objects travel with their strings";
  loose.CaseSensitive = true;
  EXPECT_EQ(loose.IndexOf("C"), -1);
  loose.Sort();
  EXPECT_EQ(loose.Items(), (std::vector<std::string>{"B", "a", "b", "c"}));
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  list.SetText("Path=C:\\x=y\r\nplain\r\n=anonymous\r\nEmpty=\r\n");
  EXPECT_EQ(list.Names(0), "Path");
  EXPECT_EQ(list.ValueFromIndex(0), "C:\\x=y");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.ValueFromIndex(1), "");
  EXPECT_EQ(list.Values("path"), "C:\\x=y");
  EXPECT_EQ(list.Values("plain"), "") << "a line without '=' has no name";
  EXPECT_EQ(list.IndexOfName("plain"), -1);
  EXPECT_EQ(list.IndexOfName("empty"), 3);
  list.SetValue("EMPTY", "full");
  list.SetValue("New", "1");
  list.SetValue("path", "");
  EXPECT_EQ(list.GetText(), "plain\r\n=anonymous\r\nEMPTY=full\r\nNew=1\r\n");
}

TEST(StringList, CommaTextQuotesWhatWouldOtherwiseSplit) {
  TStringList list;
  for (const char *item : {"plain", "two words", "a,b", "say \"hi\"", ""})
    list.Add(item);
  EXPECT_EQ(list.GetCommaText(), "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",");
  TStringList back;
  back.SetCommaText(list.GetCommaText());
  EXPECT_EQ(back.Items(), list.Items());

  back.SetCommaText("  a b, \"x, y\" ,,");
  EXPECT_EQ(back.Items(), (std::vector<std::string>{"a", "b", "x, y", "", ""}));
  back.SetCommaText("\"open");
  EXPECT_EQ(back.Items(), (std::vector<std::string>{"open"}));

  TStringList lone;
  lone.Add("");
  EXPECT_EQ(lone.GetCommaText(), "\"\"");
  back.SetCommaText("\"\"");
  EXPECT_EQ(back.Count(), 1);
  back.SetCommaText("");
  EXPECT_EQ(back.Count(), 0);
}
