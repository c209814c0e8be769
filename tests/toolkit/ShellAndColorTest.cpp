// The shell folder tree over real folders, the colour box and the Color and picture dialogs
// (through the prompts door) on real windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h> // after windows.h, which it needs

#include <vector>

#include "FormTestSupport.h"
#include "support/TestEnvironment.h"
#include "toolkit/forms/ColorBox.h"
#include "toolkit/forms/ExtDlgs.h"
#include "toolkit/forms/ShellCtrls.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;
using formtest::MakeForm;
using formtest::Pump;
using formtest::TestForm;

namespace {

// What the tree's window shows for a node: its text, and whether it has an icon.
std::string ShownText(TShellTreeView *tree, TShellTreeNode *node, int *image = nullptr) {
  char text[MAX_PATH] = {};
  TVITEMA item = {};
  item.mask = TVIF_TEXT | TVIF_IMAGE;
  item.hItem = node->ItemId();
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (image)
    *image = item.iImage;
  return text;
}

} // namespace

TEST(ShellTreeView, ShowsTheFoldersUnderMyComputerAndWhatAClickChooses) {
  std::string top = testenv::TestDir() + "Tree";
  for (const char *name : {"\\beta", "\\Alpha", "\\Secret", "\\Alpha\\Inner"})
    ASSERT_TRUE(ForceDirectories(top + name));
  testenv::WriteFile(top + "\\notes.txt", "a file, no folder");
  FileSetAttr(top + "\\Secret", FILE_ATTRIBUTE_HIDDEN);

  TShellTreeView *tree = nullptr;
  int clicks = 0;
  auto form = MakeForm([&](TestForm *f) {
    tree = new TShellTreeView(f);
    tree->SetParent(f);
    tree->SetBounds(0, 0, 380, 260);
    tree->SetShowRoot(false);
    tree->SetObjectTypes(otFolders | otHidden);
    tree->OnClick = [&](TObject *) { ++clicks; };
  });
  form->Show();

  // My Computer itself is not shown: its drives stand at the top.
  ASSERT_GT(tree->TopCount(), 0);
  bool systemDrive = false;
  for (int i = 0; i < tree->TopCount(); ++i)
    systemDrive = systemDrive || SameText(tree->TopItem(i)->Path(), "C:\\");
  EXPECT_TRUE(systemDrive);

  TShellTreeNode *folder = tree->FindPath(top);
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(SameText(folder->Path(), top));
  EXPECT_EQ(tree->Selected(), nullptr) << "finding a folder chooses nothing";
  tree->Expand(folder);
  Pump();
  // Folders and hidden folders, in the shell's order; no files.
  std::vector<std::string> shown;
  for (int i = 0; i < folder->Count(); ++i)
    shown.push_back(ShownText(tree, folder->Item(i)));
  EXPECT_EQ(shown, (std::vector<std::string>{"Alpha", "beta", "Secret"}));
  TShellTreeNode *alpha = folder->Item(0), *beta = folder->Item(1);
  EXPECT_FALSE(alpha->Listed()) << "children are listed when their node is expanded";
  int image = -1;
  ShownText(tree, beta, &image);
  EXPECT_GE(image, 0) << "a shell icon";

  ASSERT_TRUE(formtest::ClickTreeNode(tree, beta));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(tree->Selected(), beta);
  EXPECT_TRUE(SameText(tree->Path(), top + "\\beta"));

  ASSERT_TRUE(formtest::ClickTreeNode(tree, alpha, WM_RBUTTONDOWN));
  EXPECT_EQ(tree->Selected(), alpha) << "a right click selects";
  EXPECT_EQ(clicks, 1);

  // A folder made now shows only in a new tree: the tree does not watch the disk.
  ASSERT_TRUE(CreateDir(top + "\\Gamma"));
  EXPECT_EQ(folder->Count(), 3);
  EXPECT_TRUE(tree->SetPath(top + "\\Alpha\\Inner"));
  EXPECT_TRUE(SameText(tree->Path(), top + "\\Alpha\\Inner"));
  EXPECT_FALSE(tree->SetPath(top + "\\Missing"));
}

TEST(ColorBox, ListsItsColoursAndTakesACustomOneFromTheColorDialog) {
  TColorBox *box = nullptr;
  std::vector<TColor> selections;
  auto form = MakeForm([&](TestForm *f) {
    box = new TColorBox(f);
    box->SetParent(f);
    box->SetBounds(10, 10, 150, 22);
    box->SetColorStyle(cbStandardColors | cbIncludeNone | cbIncludeDefault | cbCustomColor);
    box->SetSelected(clWhite);
    box->OnSelect = [&](TObject *) { selections.push_back(box->Selected()); };
  });
  HWND h = box->Handle();
  ASSERT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 19);
  const TColor order[] = {clBlack, clWhite, clRed,   clYellow,  clLime,   clSilver,
                          clGray,  clNavy,  clBlue,  clAqua,    clPurple, clMaroon,
                          clGreen, clTeal,  clOlive, clFuchsia, clNone,   clDefault};
  for (int i = 0; i < 18; ++i)
    EXPECT_EQ(box->Colors(i + 1), order[i]) << i;
  EXPECT_EQ(box->ColorNames(0), "Custom...");
  EXPECT_EQ(box->ColorNames(17), "None");
  EXPECT_TRUE(selections.empty()) << "setting the colour from code is no selection";

  // The keyboard moves from White to Red.
  SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
  Pump();
  EXPECT_EQ(box->Selected(), clRed);

  // A colour no entry has goes into the custom entry.
  box->SetSelected(TColor(0x00123456));
  EXPECT_EQ(SendMessageA(h, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(box->Selected(), TColor(0x00123456));
  box->SetSelected(clBlack);

  // Moving up from Black onto "Custom..." asks the Color dialog, starting on Black.
  testenv::Prompts().ExpectColorDialogCancel();
  testenv::Prompts().ExpectColorDialog(RGB(0x12, 0x34, 0x56));
  SendMessageA(h, WM_KEYDOWN, VK_UP, 0);
  Pump();
  EXPECT_EQ(box->Selected(), clBlack) << "a cancelled dialog changes nothing";
  SendMessageA(h, WM_KEYDOWN, VK_UP, 0);
  Pump();
  ASSERT_EQ(testenv::Prompts().SeenColorDialogs().size(), 2u);
  EXPECT_EQ(testenv::Prompts().SeenColorDialogs()[0].color, COLORREF(clBlack));
  EXPECT_EQ(box->Selected(), TColor(RGB(0x12, 0x34, 0x56)));
  EXPECT_EQ(selections, (std::vector<TColor>{clRed, TColor(RGB(0x12, 0x34, 0x56))}));
}

TEST(PictureDialog, OffersThePicturesTheToolkitReadsWithAPreview) {
  TOpenPictureDialog dialog(nullptr);
  dialog.InitialDir = "C:\\Pictures";
  std::string chosen = testenv::TestDir() + "sea.bmp";
  testenv::Prompts().ExpectFileDialog({chosen});
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, chosen);
  const testenv::SeenFileDialog &seen = testenv::Prompts().SeenDialogs().at(0);
  EXPECT_EQ(seen.initialDir, "C:\\Pictures");
  EXPECT_EQ(seen.filter.substr(0, seen.filter.find('|')),
            "All pictures (*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.ico)");
  EXPECT_NE(seen.filter.find("|Bitmaps (*.bmp)|*.bmp|"), std::string::npos);
  const DWORD preview = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
  EXPECT_EQ(seen.flags & preview, preview);

  // The Color dialog keeps its custom colours between runs.
  TColorDialog colors(nullptr);
  colors.Color = clNavy;
  colors.CustomColors().Add("ColorB=00FF00");
  testenv::Prompts().ExpectColorDialog(RGB(1, 2, 3));
  ASSERT_TRUE(colors.Execute());
  EXPECT_EQ(colors.Color, TColor(RGB(1, 2, 3)));
  const testenv::SeenColorDialog &shown = testenv::Prompts().SeenColorDialogs().at(0);
  EXPECT_EQ(shown.color, COLORREF(clNavy));
  EXPECT_EQ(shown.custom[1], COLORREF(0x00FF00));
  EXPECT_EQ(shown.custom[0], COLORREF(0xFFFFFF));
  EXPECT_EQ(colors.CustomColors().Values("ColorB"), "00FF00");
  EXPECT_EQ(colors.CustomColors().Count(), 16);
}
