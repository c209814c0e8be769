#include "components/HelpRouter.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/TestEnvironment.h"

using namespace tk;

namespace {

// The viewer calls reach the recording shell; the library loaded is Wine's own hhctrl.ocx, from
// the real system folder.
class HelpRouterTest : public ::testing::Test {
protected:
  void SetUp() override {
    testenv::Places().systemDir = testenv::RealSystemDir();
    InitApplication();
    router = std::make_unique<THelpRouter>(Application);
    router->HelpType = htHTMLhelp;
    router->Helpfile = "C:\\Prog\\Guide.hlp";
  }
  void TearDown() override {
    router.reset();
    DoneApplication();
  }
  bool Route(WORD command, int data) {
    callHelp = true;
    return router->RouteHelp(command, data, callHelp);
  }
  std::vector<testenv::HelpCall> &Calls() { return testenv::Shell().helpCalls; }

  std::unique_ptr<THelpRouter> router;
  bool callHelp = true;
};

TEST_F(HelpRouterTest, CommandsBecomeHtmlHelpCallsOnTheChmFile) {
  struct {
    WORD command;
    int data;
    UINT hhCommand;
    DWORD_PTR hhData;
  } table[] = {{HELP_CONTEXT, 42, HH_HELP_CONTEXT, 42},    {HELP_CONTENTS, 7, HH_DISPLAY_TOC, 0},
               {HELP_FINDER, 7, HH_DISPLAY_TOC, 0},        {0x000F, 0, HH_DISPLAY_TOC, 0},
               {0x000F, 3, HH_DISPLAY_INDEX, 0},           {HELP_KEY, 99, HH_DISPLAY_INDEX, 99},
               {HELP_PARTIALKEY, 98, HH_DISPLAY_INDEX, 98}};
  for (const auto &row : table) {
    Calls().clear();
    EXPECT_TRUE(Route(row.command, row.data)) << row.command;
    EXPECT_FALSE(callHelp);
    ASSERT_EQ(Calls().size(), 1u) << row.command;
    EXPECT_EQ(Calls()[0].file, "C:\\Prog\\Guide.chm");
    EXPECT_EQ(Calls()[0].command, row.hhCommand) << row.command;
    EXPECT_EQ(Calls()[0].data, row.hhData) << row.command;
  }
  // Closing names no file; no window back means failure; commands without a counterpart go.
  Calls().clear();
  testenv::Shell().htmlHelpResult = nullptr;
  EXPECT_FALSE(Route(HELP_QUIT, 0));
  EXPECT_FALSE(Route(HELP_HELPONHELP, 0));
  EXPECT_FALSE(callHelp);
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_FALSE(Calls()[0].hasFile);
  EXPECT_EQ(Calls()[0].command, UINT(HH_CLOSE_ALL));
}

TEST_F(HelpRouterTest, ContextPopupsGoWhereSetOnceThenWhereTheMouseIs) {
  EXPECT_FALSE(Route(HELP_SETPOPUP_POS, int(MAKELONG(120, -5))));
  EXPECT_TRUE(Route(HELP_CONTEXTPOPUP, 1005));
  EXPECT_FALSE(callHelp);
  POINT mouse;
  GetCursorPos(&mouse);
  Route(HELP_CONTEXTPOPUP, 1006);
  router->ShowPopup(3, 4, 77, "Plain words");
  ASSERT_EQ(Calls().size(), 3u);
  const HH_POPUP &popup = Calls()[0].popup;
  EXPECT_EQ(Calls()[0].file, "C:\\Prog\\Guide.chm::/CSHelp.txt");
  EXPECT_EQ(Calls()[0].window, Application->Handle());
  EXPECT_EQ(popup.cbStruct, sizeof(void *) == 4 ? 52 : 72);
  EXPECT_EQ(popup.idString, 1005u);
  EXPECT_EQ(popup.pt.x, 120);
  EXPECT_EQ(popup.pt.y, -5);
  EXPECT_EQ(Calls()[0].font, "MS Sans Serif, 8");
  EXPECT_EQ(Calls()[1].popup.pt.x, mouse.x);
  EXPECT_EQ(Calls()[1].popup.pt.y, mouse.y);
  // A popup of its own text needs no topics file.
  EXPECT_FALSE(Calls()[2].hasFile);
  EXPECT_EQ(Calls()[2].popup.idString, 0u);
  EXPECT_EQ(Calls()[2].text, "Plain words");
}

TEST_F(HelpRouterTest, QuitBeforeAnyHelpLoadsNothing) {
  FreeHtmlHelp();
  EXPECT_TRUE(Route(HELP_QUIT, 0));
  EXPECT_FALSE(callHelp);
  EXPECT_FALSE(HtmlHelpLoaded());
  EXPECT_TRUE(Calls().empty());
  Route(HELP_CONTENTS, 0);
  EXPECT_TRUE(HtmlHelpLoaded());
}

// By its bare name the library would be looked for beside the program and in the current folder
// first; only the system folder's copy may be taken.
TEST_F(HelpRouterTest, TheViewerComesFromTheSystemFolderAlone) {
  FreeHtmlHelp();
  testenv::Places().systemDir = testenv::TestDir() + "System"; // holds no viewer
  EXPECT_FALSE(router->ShowTopic("C:\\P\\L.chm", ""));
  EXPECT_FALSE(HtmlHelpLoaded());
  EXPECT_TRUE(Calls().empty());

  const std::string system = testenv::RealSystemDir();
  testenv::Places().systemDir = system;
  EXPECT_TRUE(router->ShowTopic("C:\\P\\L.chm", ""));
  char path[MAX_PATH + 1] = {};
  ASSERT_NE(GetModuleFileNameA(GetModuleHandleA("hhctrl.ocx"), path, MAX_PATH), 0u);
  // A 32-bit process on 64-bit Windows reads the system folder's name as its 32-bit twin.
  char twin[MAX_PATH + 1] = {};
  UINT twinLength = GetSystemWow64DirectoryA(twin, MAX_PATH);
  const std::string folder = ExtractFileDir(path);
  EXPECT_TRUE(SameText(folder, system) || (twinLength && SameText(folder, twin))) << path;
}

TEST_F(HelpRouterTest, MixedModeSendsContextPopupsToWinHelp) {
  router->HelpType = htMixedMode;
  router->CHMPopupTopics = "Popups.HLP";
  EXPECT_TRUE(Route(HELP_CONTEXTPOPUP, 12));
  Route(HELP_CONTEXT, 13);
  router->CHMPopupTopics = "D:\\Other\\Tips.hlp";
  Route(HELP_CONTEXTPOPUP, 14);
  router->CHMPopupTopics = "CSHelp.txt";
  Route(HELP_CONTEXTPOPUP, 15);
  router->ShowType = stMain; // popups become topics of the main help window
  Route(HELP_CONTEXTPOPUP, 16);
  ASSERT_EQ(Calls().size(), 5u);
  EXPECT_EQ(Calls()[0].what, "WinHelp");
  EXPECT_EQ(Calls()[0].file, "C:\\Prog\\Popups.hlp");
  EXPECT_EQ(Calls()[0].data, 12u);
  EXPECT_EQ(Calls()[1].what, "HtmlHelp");
  EXPECT_EQ(Calls()[2].file, "D:\\Other\\Tips.hlp");
  EXPECT_EQ(Calls()[3].file, "C:\\Prog\\Guide.hlp");
  EXPECT_EQ(Calls()[4].what, "HtmlHelp");
  EXPECT_EQ(Calls()[4].command, UINT(HH_HELP_CONTEXT));
}

TEST_F(HelpRouterTest, OneRouterThatHandlersBeforeItCanOverrule) {
  std::string message;
  try {
    THelpRouter second(Application);
  } catch (const Exception &e) {
    message = e.Message();
  }
  EXPECT_EQ(message, "Multiple instances of THelpRouter are not allowed");
  EXPECT_EQ(Application->ComponentCount(), 1);
  router.reset();
  int earlier = 0;
  Application->OnHelp = [&earlier](WORD, int, bool &) {
    ++earlier;
    return false;
  };
  router = std::make_unique<THelpRouter>(Application);
  router->OnHelp = [](WORD command, int, bool &callHelp) {
    callHelp = command != HELP_CONTEXT; // keeps context requests for itself
    return true;
  };
  EXPECT_TRUE(Application->HelpCommand(HELP_CONTEXT, 5));
  Application->HelpCommand(HELP_CONTENTS, 0);
  EXPECT_EQ(earlier, 1);
  router.reset(); // gives the application its handler back
  Application->HelpCommand(HELP_CONTENTS, 0);
  EXPECT_EQ(earlier, 2);
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(HelpRouterTest, TopicsBecomePagesOfTheChm) {
  auto target = [this](const std::string &file, const std::string &topic) {
    Calls().clear();
    EXPECT_TRUE(router->ShowTopic(file, topic));
    return Calls().empty() ? "" : Calls()[0].file;
  };
  EXPECT_EQ(target("C:\\P\\L.chm", "frmicon.htm#iconset"), "C:\\P\\L.chm::/frmicon.htm#iconset");
  EXPECT_EQ(target("C:\\P\\Old.hlp", "frmcur.HTML"), "C:\\P\\Old.chm::/frmcur.HTML");
  EXPECT_EQ(target("", ""), "C:\\Prog\\Guide.chm");
  EXPECT_EQ(target("", "two words"), "C:\\Prog\\Guide.chm::/two words.htm");
  router->ValidateID = true;
  EXPECT_EQ(target("", "two words"), "C:\\Prog\\Guide.chm::/two_words.htm");
  EXPECT_EQ(target("", "a%b.c&d*e<f>g[h]\"i,j/k:l?m\\n|o\xBFp\xC4\xE4\xD6\xF6\xDC\xFC\xDF"),
            "C:\\Prog\\Guide.chm::/a_b_c+d+e~f~g(h)ijklmnopaaoouus.htm");
  // WinHelp opens the file, then jumps by macro.
  router->HelpType = htWinhelp;
  EXPECT_EQ(target("", "IDH_START"), "C:\\Prog\\Guide.hlp");
  EXPECT_EQ(Calls().back().text, "JumpID(\"\",\"IDH_START\")");
}

// Wine's own viewer with the help file of the program folder. Wine draws pages with its Gecko
// engine, which the test prefix leaves out (mshtml is switched off), so the viewer's window is
// checked but not the page inside it.
TEST_F(HelpRouterTest, RealViewerOpensTheProgramsHelpFile) {
  std::string chm = testenv::BuiltProgramDir() + "Lumagrove.chm";
  ASSERT_NE(GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << chm;
  testenv::Shell().allowHtmlHelp = true;
  EXPECT_TRUE(router->ShowTopic(chm, "frmicon.htm#iconset"));
  HWND viewer = FindWindowA("HH Parent", nullptr);
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(IsWindowVisible(viewer));
  char title[64] = {};
  GetWindowTextA(viewer, title, sizeof(title));
  EXPECT_STREQ(title, "Lumagrove Help"); // the project's window definition reached the viewer
  Route(HELP_QUIT, 0);
  EXPECT_FALSE(IsWindow(viewer));
}

} // namespace
