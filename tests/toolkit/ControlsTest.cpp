// The standard controls on real windows: change handlers, items in step with the window, the
// default and cancel buttons, modal results, windowless children painted inside containers.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/StdCtrls.h"

using namespace tk;
using formtest::MakeForm;
using formtest::Pump;
using formtest::TestForm;

namespace {

std::string WindowText(HWND h) {
  char buf[256] = {};
  GetWindowTextA(h, buf, sizeof(buf));
  return buf;
}

std::string ListText(HWND list, int i, bool combo = false) {
  char buf[256] = {};
  SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf));
  return buf;
}

} // namespace

TEST(Edit, OnChangeRunsOncePerRealChangeAndNeverWhileBuilding) {
  TEdit *edit = nullptr;
  int changes = 0;
  auto form = MakeForm([&](TestForm *f) {
    edit = new TEdit(f);
    edit->SetParent(f);
    edit->OnChange = [&](TObject *) { ++changes; };
    edit->SetText("built");
  });
  EXPECT_EQ(changes, 0) << "setting the text while the form is built stays quiet";
  EXPECT_EQ(WindowText(edit->Handle()), "built");

  edit->SetText("next");
  EXPECT_EQ(changes, 1);
  edit->SetText("next");
  EXPECT_EQ(changes, 1) << "the same text is no change";

  // The user types: each character reaches the window and is one change.
  edit->SetSelStart(4);
  SendMessageA(edit->Handle(), WM_CHAR, '!', 0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit->Text(), "next!");
  // Another program (or the system) sets the window text.
  SetWindowTextA(edit->Handle(), "outside");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(edit->Text(), "outside");
}

TEST(Edit, LimitsPasswordsAndSelection) {
  TEdit *edit = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    edit = new TEdit(f);
    edit->SetMaxLength(3);
    edit->SetParent(f);
  });
  for (char c : std::string("abcdef"))
    SendMessageA(edit->Handle(), WM_CHAR, WPARAM(c), 0);
  EXPECT_EQ(edit->Text(), "abc");
  edit->SelectAll();
  EXPECT_EQ(edit->SelText(), "abc");
  edit->SetSelText("z");
  EXPECT_EQ(edit->Text(), "z");
  edit->SetPasswordChar('*');
  EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST(Memo, LinesAndWindowStayInStep) {
  TMemo *memo = nullptr;
  int changes = 0;
  auto form = MakeForm([&](TestForm *f) {
    memo = new TMemo(f);
    memo->SetParent(f);
    memo->Lines().Add("one");
    memo->OnChange = [&](TObject *) { ++changes; };
  });
  memo->Lines().Add("two");
  EXPECT_EQ(WindowText(memo->Handle()), "one\r\ntwo");
  EXPECT_EQ(changes, 1);
  // The user types a new line at the end.
  memo->SetSelStart(8);
  for (char c : std::string("\rc"))
    SendMessageA(memo->Handle(), WM_CHAR, WPARAM(c), 0);
  ASSERT_EQ(memo->Lines().Count(), 3);
  EXPECT_EQ(memo->Lines().Strings(2), "c");
  EXPECT_EQ(changes, 3);
}

TEST(CheckBox, OnClickFollowsEveryChangeOfState) {
  TCheckBox *box = nullptr;
  int clicks = 0;
  auto form = MakeForm([&](TestForm *f) {
    box = new TCheckBox(f);
    box->SetParent(f);
    box->OnClick = [&](TObject *) { ++clicks; };
    box->SetChecked(true);
  });
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 0);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // The user clicks it.
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 2);
  box->AllowGrayed = true;
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->State(), cbGrayed);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

TEST(RadioButton, CheckingOneUnchecksItsSiblings) {
  TRadioButton *a = nullptr, *b = nullptr;
  std::vector<std::string> clicked;
  auto form = MakeForm([&](TestForm *f) {
    a = new TRadioButton(f);
    a->SetName("A");
    b = new TRadioButton(f);
    b->SetName("B");
    for (TRadioButton *r : {a, b}) {
      r->SetParent(f);
      r->OnClick = [&](TObject *s) { clicked.push_back(s->GetName()); };
    }
    a->SetChecked(true);
  });
  EXPECT_TRUE(clicked.empty());
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  a->SetChecked(true);
  EXPECT_EQ(clicked, (std::vector<std::string>{"B", "A"}));
}

TEST(ListBox, ItemsAndSelectionFollowTheList) {
  TListBox *list = nullptr;
  int clicks = 0;
  auto form = MakeForm([&](TestForm *f) {
    list = new TListBox(f);
    list->SetParent(f);
    list->Items().Add("b");
    list->Items().Add("c");
    list->OnClick = [&](TObject *) { ++clicks; };
    list->SetItemIndex(1);
  });
  HWND h = list->Handle();
  EXPECT_EQ(clicks, 0);
  list->Items().Insert(0, "a");
  ASSERT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ListText(h, 0), "a");
  EXPECT_EQ(ListText(h, 2), "c");
  EXPECT_EQ(list->ItemIndex(), 1) << "the index stays while it exists";

  list->SetItemIndex(2);
  EXPECT_EQ(clicks, 1);
  list->SetItemIndex(2);
  EXPECT_EQ(clicks, 1);
  // The user presses the up arrow.
  SendMessageA(h, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 2);

  list->Items().Delete(2);
  list->Items().Delete(1);
  EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items().Clear();
  EXPECT_EQ(SendMessageA(h, LB_GETCOUNT, 0, 0), 0);
}

TEST(ListBox, SortedListsKeepTheWindowInTheSameOrder) {
  TListBox *list = nullptr;
  int doubleClicks = 0;
  auto form = MakeForm([&](TestForm *f) {
    list = new TListBox(f);
    list->SetParent(f);
    list->Items().SetCommaText("pear,apple");
    list->OnDblClick = [&](TObject *) { ++doubleClicks; };
  });
  list->SetSorted(true);
  list->Items().Add("banana");
  HWND h = list->Handle();
  EXPECT_EQ(ListText(h, 0), "apple");
  EXPECT_EQ(ListText(h, 1), "banana");
  EXPECT_EQ(list->Items().Strings(2), "pear");
  EXPECT_EQ(ListText(h, 2), "pear");
  SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(doubleClicks, 1);
}

TEST(ListBox, MultiSelectionSurvivesANewWindow) {
  TListBox *list = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    list = new TListBox(f);
    list->SetParent(f);
    list->Items().SetCommaText("x,y,z");
  });
  list->SetMultiSelect(true);
  list->SetSelected(0, true);
  list->SetSelected(2, true);
  EXPECT_EQ(list->SelCount(), 2);
  list->SetExtendedSelect(false); // a new window
  EXPECT_TRUE(list->Selected(0));
  EXPECT_FALSE(list->Selected(1));
  EXPECT_TRUE(list->Selected(2));
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
}

TEST(ComboBox, SelectionRunsClickThenChangeAndTextFollows) {
  TComboBox *combo = nullptr;
  std::vector<std::string> events;
  auto form = MakeForm([&](TestForm *f) {
    combo = new TComboBox(f);
    combo->SetParent(f);
    combo->Items().SetCommaText("red,green,blue");
    combo->OnClick = [&](TObject *) { events.push_back("click " + combo->Text()); };
    combo->OnChange = [&](TObject *) { events.push_back("change " + combo->Text()); };
    combo->SetItemIndex(0);
  });
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(combo->Text(), "red");
  combo->SetItemIndex(2);
  EXPECT_EQ(events, (std::vector<std::string>{"click blue", "change blue"}));
  combo->SetItemIndex(2);
  EXPECT_EQ(events.size(), 2u);
  combo->Items().Add("white");
  HWND h = combo->Handle();
  ASSERT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(ListText(h, 3, true), "white");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "blue");

  events.clear();
  combo->SetText("typed");
  EXPECT_EQ(events, (std::vector<std::string>{"change typed"}));
  EXPECT_EQ(combo->ItemIndex(), -1);

  combo->SetStyle(csDropDownList);
  combo->SetText("green");
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
}

TEST(Button, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  TButton *ok = nullptr, *cancel = nullptr;
  TEdit *edit = nullptr;
  std::vector<std::string> pressed;
  auto form = MakeForm([&](TestForm *f) {
    edit = new TEdit(f);
    edit->SetParent(f);
    ok = new TButton(f);
    ok->SetParent(f);
    ok->SetTop(40);
    ok->SetDefault(true);
    ok->OnClick = [&](TObject *) { pressed.push_back("ok"); };
    cancel = new TButton(f);
    cancel->SetParent(f);
    cancel->SetTop(80);
    cancel->SetCancel(true);
    cancel->OnClick = [&](TObject *) { pressed.push_back("cancel"); };
  });
  EXPECT_EQ(form->DefaultButton, ok);
  EXPECT_EQ(form->CancelButton, cancel);
  form->Show();
  Pump();
  edit->SetFocus();
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(pressed, (std::vector<std::string>{"ok", "cancel"}));
}

TEST(Button, ModalResultEndsShowModal) {
  TButton *ok = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    ok = new TButton(f);
    ok->SetParent(f);
    ok->ModalResult = mrOk;
  });
  bool clicked = false;
  ok->OnClick = [&](TObject *) { clicked = true; };
  form->OnShow = [&](TObject *) { PostMessageA(ok->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(form->Visible());
}

TEST(GroupBox, PaintsItsWindowlessChildren) {
  TGroupBox *box = nullptr;
  TLabel *label = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    box = new TGroupBox(f);
    box->SetParent(f);
    box->SetBounds(10, 10, 200, 120);
    box->SetText("Group");
    label = new TLabel(f);
    label->SetParent(box);
    label->SetAutoSize(false);
    label->SetBounds(20, 40, 50, 30);
    label->SetColor(clRed);
  });
  form->Show();
  Pump();
  UpdateWindow(box->Handle());
  EXPECT_EQ(formtest::ScreenPixel(box->Handle(), 45, 55), RGB(255, 0, 0));
  EXPECT_NE(formtest::ScreenPixel(box->Handle(), 100, 100), RGB(255, 0, 0));
}
