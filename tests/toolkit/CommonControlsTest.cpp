// Page controls, list views, tool and status bars, track bars, spin edits, bit buttons,
// panels, images and labelled edits on real windows.
#include <gtest/gtest.h>

#include <algorithm>

#include "FormTestSupport.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/ComCtrls.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Spin.h"

using namespace tk;
using formtest::MakeForm;
using formtest::Pump;
using formtest::ScreenPixel;
using formtest::TestForm;

namespace {

// A click of the left button at a client point, as the mouse would send it.
void ClickAt(HWND h, POINT p) {
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

POINT Centre(const RECT &r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

} // namespace

TEST(PageControl, SwitchingPagesShowsTheSheetAndRunsItsHandlers) {
  TPageControl *pages = nullptr;
  TTabSheet *first = nullptr, *second = nullptr;
  std::vector<std::string> events;
  auto form = MakeForm([&](TestForm *f) {
    pages = new TPageControl(f);
    pages->SetParent(f);
    pages->SetBounds(0, 0, 300, 200);
    first = new TTabSheet(f);
    first->SetPageControl(pages);
    first->SetText("First");
    second = new TTabSheet(f);
    second->SetPageControl(pages);
    second->SetText("Second");
    for (TTabSheet *s : {first, second}) {
      s->OnShow = [&](TObject *o) { events.push_back("show " + o->GetName()); };
      s->OnHide = [&](TObject *o) { events.push_back("hide " + o->GetName()); };
    }
    first->SetName("first");
    second->SetName("second");
    pages->SetActivePage(first);
  });
  EXPECT_TRUE(events.empty()) << "nothing runs while the form is built";
  HWND tabs = pages->Handle();
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  second->SetText("Renamed");
  char text[32] = {};
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "Renamed");

  pages->SetActivePage(second);
  EXPECT_EQ(events, (std::vector<std::string>{"show second", "hide first"}));
  EXPECT_TRUE(IsWindowVisible(second->Handle()) || !IsWindowVisible(form->Handle()));
  EXPECT_FALSE(GetWindowLongA(first->Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongA(second->Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);

  // The user clicks the first tab; OnChanging may refuse.
  bool allow = false;
  int changes = 0;
  pages->OnChanging = [&](TObject *, bool &a) { a = allow; };
  pages->OnChange = [&](TObject *) { ++changes; };
  RECT r;
  SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  ClickAt(tabs, Centre(r));
  EXPECT_EQ(pages->ActivePage(), second);
  allow = true;
  ClickAt(tabs, Centre(r));
  EXPECT_EQ(pages->ActivePage(), first);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(events.back(), "hide second");

  // A page without a tab keeps its place among the pages but not among the tabs.
  first->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(pages->ActivePage(), second) << "the shown page lost its tab";
  EXPECT_EQ(first->PageIndex(), 0);
  EXPECT_EQ(second->TabIndex(), 0);
}

namespace {

// Input as the user gives it, through the system's input queue.
void RealClick(HWND window, POINT client) {
  POINT p = client;
  ClientToScreen(window, &p);
  INPUT in[3] = {};
  for (INPUT &i : in)
    i.type = INPUT_MOUSE;
  in[0].mi.dx = LONG(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in[0].mi.dy = LONG(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, in, sizeof(INPUT));
  Pump();
}

void RealKey(WORD key) {
  INPUT in[2] = {};
  for (INPUT &i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Pump();
}

// Every TCM_SETCURSEL(-1) sent to a tab control that has tabs, while it lives.
struct DeselectWatch {
  static inline int seen = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
    auto *m = reinterpret_cast<CWPSTRUCT *>(l);
    if (code == HC_ACTION && m->message == TCM_SETCURSEL && int(m->wParam) < 0 &&
        SendMessageA(m->hwnd, TCM_GETITEMCOUNT, 0, 0) > 0)
      ++seen;
    return CallNextHookEx(nullptr, code, w, l);
  }
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  DeselectWatch() { seen = 0; }
  ~DeselectWatch() { UnhookWindowsHookEx(hook); }
};

} // namespace

// The arrow keys and the mouse both switch pages, in either order, and the tab control is never
// told to select no tab while it has tabs (Wine's then stops answering clicks).
TEST(PageControl, KeyboardAndMouseBothSwitchPagesInAnyOrder) {
  DeselectWatch watch;
  TPageControl *pages = nullptr;
  TTabSheet *sheets[3] = {};
  auto form = MakeForm([&](TestForm *f) {
    pages = new TPageControl(f);
    pages->SetParent(f);
    pages->SetBounds(0, 0, 300, 200);
    for (TTabSheet *&s : sheets) {
      s = new TTabSheet(f);
      s->SetPageControl(pages);
      s->SetText("Page " + std::to_string(&s - sheets));
    }
  });
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump();
  HWND tabs = pages->Handle();
  auto tab = [&](int i) {
    RECT r;
    SendMessageA(tabs, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
    return Centre(r);
  };
  RealClick(tabs, tab(1));
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  RealKey(VK_RIGHT);
  EXPECT_EQ(pages->ActivePage(), sheets[2]) << "the arrow key after a click";
  RealClick(tabs, tab(0));
  EXPECT_EQ(pages->ActivePage(), sheets[0]) << "a click after the arrow key";
  RealClick(tabs, tab(2));
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  RealKey(VK_LEFT);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  // Code that renames a page or picks another one keeps the tab control answering too.
  sheets[0]->SetText("Renamed");
  pages->SetActivePage(sheets[0]);
  RealClick(tabs, tab(2));
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(DeselectWatch::seen, 0);
}

// A form going away with a later page shown runs no page's handlers: they could reach what
// the form has already freed.
TEST(PageControl, AFormBeingDestroyedRunsNoHandlers) {
  TPageControl *pages = nullptr;
  TTabSheet *first = nullptr, *last = nullptr;
  TCheckBox *box = nullptr;
  std::vector<std::string> events;
  auto form = MakeForm([&](TestForm *f) {
    pages = new TPageControl(f);
    pages->SetParent(f);
    first = new TTabSheet(f);
    first->SetPageControl(pages);
    last = new TTabSheet(f);
    last->SetPageControl(pages);
    box = new TCheckBox(f);
    box->SetParent(last);
  });
  for (TTabSheet *s : {first, last}) {
    s->OnShow = [&](TObject *) { events.push_back("show"); };
    s->OnHide = [&](TObject *) { events.push_back("hide"); };
  }
  pages->OnChange = [&](TObject *) { events.push_back("change"); };
  box->OnClick = [&](TObject *) { events.push_back("click"); };
  form->Show();
  pages->SetActivePage(last);
  box->SetFocus();
  events.clear();
  form.reset();
  EXPECT_TRUE(events.empty()) << events.front();

  // A form made with CreateForm leaves its global empty when it goes.
  TestForm *global = nullptr;
  CreateForm(Application, global);
  ASSERT_NE(global, nullptr);
  delete global;
  EXPECT_EQ(global, nullptr);
}

TEST(ListView, ItemsAreInTheWindowAndSelectionIsReported) {
  TListView *view = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    view = new TListView(f);
    view->SetParent(f);
    view->SetViewStyle(vsReport);
    view->Columns().Add()->SetCaption("Name");
    view->Columns().Add()->SetCaption("Size");
  });
  std::vector<std::string> selected;
  view->OnSelectItem = [&](TObject *, TListItem *item, bool on) {
    selected.push_back(std::string(on ? "+" : "-").append(item->Caption()));
  };
  for (const char *name : {"alpha", "beta", "gamma"}) {
    TListItem *item = view->Items().Add();
    item->SetCaption(name);
    item->SubItems().Add(std::string(name).substr(0, 1));
  }
  HWND h = view->Handle();
  ASSERT_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), 3);
  char text[32] = {};
  LVITEMA item = {};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(h, LVM_GETITEMTEXTA, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "g");
  view->Items()[1]->SetCaption("BETA");
  item.iSubItem = 0;
  SendMessageA(h, LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "BETA");

  view->SetItemIndex(1);
  EXPECT_EQ(view->Selected(), view->Items()[1]);
  view->SetItemIndex(2);
  EXPECT_EQ(view->ItemIndex(), 2);
  EXPECT_EQ(selected, (std::vector<std::string>{"+BETA", "-BETA", "+gamma"}));
  view->Items().Delete(0);
  EXPECT_EQ(view->ItemIndex(), 1);
  view->Clear();
  EXPECT_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(view->Selected(), nullptr);
}

TEST(ToolBar, ButtonsLiveInTheBarAndAnswerClicks) {
  TCoolBar *cool = nullptr;
  TToolBar *bar = nullptr;
  TToolButton *open = nullptr, *check = nullptr;
  int clicks = 0;
  auto form = MakeForm([&](TestForm *f) {
    cool = new TCoolBar(f);
    cool->SetParent(f);
    bar = new TToolBar(f);
    bar->SetParent(cool);
    bar->SetFlat(true);
    bar->SetShowCaptions(true);
    bar->SetHeight(40);
    open = new TToolButton(f);
    open->SetParent(bar);
    open->SetText("Open");
    open->OnClick = [&](TObject *) { ++clicks; };
    check = new TToolButton(f);
    check->SetParent(bar);
    check->SetStyle(tbsCheck);
  });
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->ControlCount(), 0) << "buttons are no windowless children of the bar";
  EXPECT_EQ(cool->ClientHeight(), 40 + 4) << "the cool bar's height follows its band";
  HWND h = bar->Handle();
  open->SetText("Load");
  char text[32] = {};
  SendMessageA(h, TB_GETBUTTONTEXTA, open->CommandId(), reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Load");

  form->Show();
  Pump();
  ClickAt(h, Centre(bar->ButtonRect(open)));
  EXPECT_EQ(clicks, 1);
  ClickAt(h, Centre(bar->ButtonRect(check)));
  EXPECT_TRUE(check->Down());
  check->SetDown(false);
  EXPECT_FALSE(SendMessageA(h, TB_ISBUTTONCHECKED, check->CommandId(), 0));
  open->SetEnabled(false);
  EXPECT_FALSE(SendMessageA(h, TB_ISBUTTONENABLED, open->CommandId(), 0));
}

TEST(StatusBar, PanelsAndSimpleText) {
  TStatusBar *status = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    status = new TStatusBar(f);
    status->SetParent(f);
    status->Panels().Add()->SetWidth(80);
    status->Panels().Add();
  });
  EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight()) << "at the bottom";
  HWND h = status->Handle();
  status->Panels()[1]->SetText("ready");
  char text[32] = {};
  SendMessageA(h, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "ready");
  int edges[4] = {};
  EXPECT_EQ(SendMessageA(h, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 80);
  status->SetSimplePanel(true);
  status->SetSimpleText("busy");
  EXPECT_TRUE(SendMessageA(h, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(status->GetText(), "busy");
}

TEST(TrackBar, PositionChangesRunOnChange) {
  TTrackBar *track = nullptr;
  int changes = 0;
  auto form = MakeForm([&](TestForm *f) {
    track = new TTrackBar(f);
    track->SetParent(f);
    track->SetMax(20);
    track->OnChange = [&](TObject *) { ++changes; };
    track->SetPosition(5);
  });
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(SendMessageA(track->Handle(), TBM_GETPOS, 0, 0), 5);
  track->SetPosition(5);
  EXPECT_EQ(changes, 0);
  track->SetPosition(50);
  EXPECT_EQ(track->Position(), 20) << "clamped into range";
  EXPECT_EQ(changes, 1);
  // The user presses the left arrow key on it.
  SendMessageA(track->Handle(), WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(track->Position(), 19);
  EXPECT_EQ(changes, 2);
}

TEST(SpinEdit, ValueStaysInRangeAndEveryChangeIsReported) {
  TSpinEdit *spin = nullptr;
  int changes = 0;
  auto form = MakeForm([&](TestForm *f) {
    spin = new TSpinEdit(f);
    spin->SetParent(f);
    spin->SetMinValue(1);
    spin->SetMaxValue(10);
    spin->Increment = 2;
    spin->OnChange = [&](TObject *) { ++changes; };
    spin->SetValue(4);
  });
  EXPECT_EQ(changes, 0);
  spin->SetValue(4);
  EXPECT_EQ(changes, 0);
  spin->SetValue(99);
  EXPECT_EQ(spin->Text(), "10");
  EXPECT_EQ(changes, 1);
  // The lower arrow, then the keyboard's up arrow.
  HWND arrows = spin->UpDownHandle();
  ASSERT_NE(arrows, nullptr);
  RECT r;
  GetClientRect(arrows, &r);
  ClickAt(arrows, {(r.left + r.right) / 2, r.bottom - 2});
  EXPECT_EQ(spin->Value(), 8);
  SendMessageA(spin->Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(spin->Value(), 10);
  EXPECT_EQ(changes, 3);
  // Letters don't get in; out-of-range typing reads clamped.
  SendMessageA(spin->Handle(), WM_CHAR, 'x', 0);
  EXPECT_EQ(spin->Text(), "10");
  spin->SetText("0");
  EXPECT_EQ(spin->Value(), 1);
}

TEST(BitBtn, KindGivesCaptionResultAndDrawsTheGlyphTransparently) {
  TBitBtn *button = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    button = new TBitBtn(f);
    button->SetParent(f);
    button->SetBounds(10, 10, 120, 40);
    button->SetKind(bkOK);
    // Two frames of 10 x 10: a red square on a white ground, then a blue one.
    TBitmap &glyph = button->Glyph();
    glyph.SetSize(20, 10);
    glyph.Canvas().Brush().SetColor(clWhite);
    glyph.Canvas().FillRect({0, 0, 20, 10});
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect({2, 2, 8, 8});
    glyph.Canvas().Brush().SetColor(clBlue);
    glyph.Canvas().FillRect({12, 2, 18, 8});
    button->SetNumGlyphs(2);
  });
  EXPECT_EQ(button->GetText(), "OK");
  EXPECT_EQ(button->ModalResult, mrOk);
  EXPECT_EQ(form->DefaultButton, button);
  form->Show();
  Pump();
  UpdateWindow(button->Handle());
  // Find the glyph: the red square of the first frame, none of the second's blue, and the
  // white ground around the square left out.
  int red = 0, blue = 0, left = 1000, top = 1000;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      COLORREF c = ScreenPixel(button->Handle(), x, y);
      if (c == RGB(255, 0, 0)) {
        ++red;
        left = std::min(left, x);
        top = std::min(top, y);
      }
      blue += c == RGB(0, 0, 255);
    }
  EXPECT_EQ(red, 36);
  EXPECT_EQ(blue, 0);
  EXPECT_LT(left, 50) << "the picture is left of the caption";
  EXPECT_EQ(ScreenPixel(button->Handle(), left - 2, top - 2), ColorToRGB(clBtnFace));
}

TEST(Panel, PaintsBevelsAndWindowlessChildren) {
  TPanel *panel = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    panel = new TPanel(f);
    panel->SetParent(f);
    panel->SetBounds(10, 10, 200, 100);
    panel->SetBevelWidth(2);
    auto *label = new TLabel(f);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetAlign(alClient);
    label->SetColor(clLime);
  });
  form->Show();
  Pump();
  UpdateWindow(panel->Handle());
  HWND h = panel->Handle();
  EXPECT_EQ(ScreenPixel(h, 1, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ScreenPixel(h, 198, 98), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ScreenPixel(h, 2, 2), RGB(0, 255, 0)) << "the label fills the inside of the bevel";
  EXPECT_EQ(ScreenPixel(h, 197, 97), RGB(0, 255, 0));
}

TEST(Panel, ClicksComeFromTheMouseOnItsOwnWindow) {
  TPanel *panel = nullptr;
  std::vector<std::string> events;
  auto form = MakeForm([&](TestForm *f) {
    panel = new TPanel(f);
    panel->SetParent(f);
  });
  panel->OnClick = [&](TObject *) { events.push_back("click"); };
  panel->OnMouseUp = [&](TObject *, TMouseButton, TShiftState, int x, int) {
    events.push_back("up " + std::to_string(x));
  };
  ClickAt(panel->Handle(), {7, 5});
  EXPECT_EQ(events, (std::vector<std::string>{"up 7", "click"}));
  // A press that leaves the panel before the release is no click.
  SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 5));
  SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(events.size(), 3u);
}

TEST(Image, CanvasDrawsOnABitmapOfTheImagesSize) {
  TImage *image = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    image = new TImage(f);
    image->SetParent(f);
    image->SetBounds(20, 20, 60, 40);
  });
  image->Canvas().Brush().SetColor(clBlue);
  image->Canvas().FillRect({0, 0, 30, 40});
  ASSERT_NE(image->Picture().Graphic(), nullptr);
  EXPECT_EQ(image->Picture().Width(), 60);
  EXPECT_EQ(image->Picture().Height(), 40);
  form->Show();
  Pump();
  UpdateWindow(form->Handle());
  EXPECT_EQ(ScreenPixel(form->Handle(), 25, 30), RGB(0, 0, 255));
  EXPECT_EQ(ScreenPixel(form->Handle(), 75, 30), RGB(255, 255, 255));

  // A wide picture shrunk into a square keeps its shape, centred.
  image->SetBounds(20, 20, 50, 50);
  image->SetProportional(true);
  image->SetCenter(true);
  image->Picture().Bitmap().SetSize(200, 100);
  RECT r = image->DestRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.bottom, 37);
}

TEST(LabeledEdit, LabelFollowsTheEditAndIsNoComponentOfTheForm) {
  TLabeledEdit *edit = nullptr;
  auto form = MakeForm([&](TestForm *f) {
    edit = new TLabeledEdit(f);
    edit->SetName("NameEdit");
    edit->SetParent(f);
    edit->SetBounds(10, 50, 100, 21);
    edit->EditLabel()->SetText("Name:");
  });
  TBoundLabel *label = edit->EditLabel();
  EXPECT_EQ(label->Parent(), form.get());
  EXPECT_GT(label->Width(), 10) << "sized to its caption once the form is built";
  EXPECT_EQ(label->Top() + label->Height() + edit->LabelSpacing(), edit->Top());
  EXPECT_EQ(label->Left(), edit->Left());
  edit->SetBounds(30, 80, 100, 21);
  EXPECT_EQ(label->Left(), 30);
  EXPECT_EQ(label->Top() + label->Height() + edit->LabelSpacing(), 80);
  for (int i = 0; i < form->ComponentCount(); ++i)
    EXPECT_NE(form->Components(i), label);
  edit->SetLabelPosition(lpLeft);
  EXPECT_EQ(label->Left() + label->Width() + edit->LabelSpacing(), 30);
}
