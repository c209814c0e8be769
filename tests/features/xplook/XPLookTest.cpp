#include <windows.h>

#include "../../app/AppFixture.h"
#include "features/xplook/UnitFrmXPLook.h"
#include "toolkit/win32/FileUtil.h"

using namespace tk;

namespace {

class XPLook : public AppTest {
protected:
  void TearDown() override {
    AppTest::TearDown();
    FrmXPLook = nullptr;
  }

  void OpenForm() {
    StartProgram();
    Frmmain->Lbl_XPLook->Click();
    ASSERT_NE(FrmXPLook, nullptr);
  }

  // A real program of this build's architecture, under the given name.
  std::string Program(const std::string &name) {
    std::string path = testenv::TestDir() + name;
    EXPECT_TRUE(CopyFileA((testenv::ExeDir() + "exit_with.exe").c_str(), path.c_str(), FALSE));
    return path;
  }

  void Add(const std::string &program, const std::string &expected) {
    FrmXPLook->Edit1->SetText(program);
    testenv::Prompts().Expect(expected, IDOK);
    FrmXPLook->BitBtn4->Click();
  }

  void Remove(const std::string &program, const std::string &expected) {
    FrmXPLook->Edit2->SetText(program);
    testenv::Prompts().Expect(expected, IDOK);
    FrmXPLook->BitBtn3->Click();
  }

  const std::string Added = "Added XP Visual Style successfully!";
  const std::string Removed = "Removed XP Visual Style successfully!";
  const std::string Foreign = "has a manifest of its own";
  const char *NativeArchitecture = sizeof(void *) == 8 ? "amd64" : "X86";
};

} // namespace

TEST_F(XPLook, AddWritesTheManifestAndRepeatsOverItsOwnHiddenOne) {
  std::string program = Program("app.exe");
  OpenForm();
  EXPECT_EQ(FrmXPLook->Caption(), "Applications");
  Add(program, Added);
  EXPECT_TRUE(FrmXPLook->Edit1->Text().empty());
  std::string arch = NativeArchitecture;
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
      "<assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"" +
      arch +
      "\" name=\"Company.Product.app.exe\" \r\n"
      "type=\"win32\" />\r\n"
      "<description>WindowsExecutable</description>\r\n"
      "<dependency>\r\n"
      "<dependentAssembly>\r\n"
      "<assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
      "version=\"6.0.0.0\" \r\n"
      "processorArchitecture=\"" +
      arch +
      "\" \r\n"
      "publicKeyToken=\"6595b64144ccf1df\" language=\"*\" />\r\n"
      "</dependentAssembly>\r\n"
      "</dependency>\r\n"
      "</assembly>\r\n";
  std::string manifest = program + ".manifest";
  EXPECT_EQ(testenv::ReadFile(manifest), expected);
  if (testenv::KeepsAttributes()) {
    int marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(FileGetAttr(manifest) & marks, FILE_ATTRIBUTE_HIDDEN);
  }

  // Again, over the hidden manifest, and over one made read-only since.
  Add(program, Added);
  FileSetAttr(manifest, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  Add(program, Added);
  EXPECT_EQ(testenv::ReadFile(manifest), expected);

  Remove(program, Removed);
  EXPECT_FALSE(FileExists(manifest));
  EXPECT_TRUE(FrmXPLook->Edit2->Text().empty());
  // Nothing left to remove is still a success.
  Remove(program, Removed);

  FrmXPLook->Close();
  EXPECT_TRUE(Frmmain->Visible());
}

TEST_F(XPLook, AProgramsOwnManifestIsNeitherReplacedNorRemoved) {
  std::string program = Program("tool.exe");
  const std::string own = "<?xml version=\"1.0\"?>\r\n<assembly "
                          "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
                          "<assemblyIdentity name=\"Maker.Tool\" version=\"2.0.0.0\" "
                          "type=\"win32\" />\r\n</assembly>\r\n";
  testenv::WriteFile(program + ".manifest", own);
  OpenForm();
  Add(program, Foreign);
  Remove(program, Foreign);
  EXPECT_EQ(testenv::ReadFile(program + ".manifest"), own);
  // A field naming no file changes nothing.
  Add(testenv::TestDir() + "missing.exe", "Please select a program to be modified!");
  EXPECT_FALSE(FileExists(testenv::TestDir() + "missing.exe.manifest"));
}

TEST_F(XPLook, TheManifestPassesTheSystemsActivationCheckWithAwkwardNames) {
  // "Café & Co.exe" in the system's ANSI code page.
  char name[64] = {};
  WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9 & Co.exe", -1, name, sizeof name, nullptr, nullptr);
  std::string program = Program(name);
  OpenForm();
  Add(program, Added);
  std::string text = testenv::ReadFile(program + ".manifest");
  EXPECT_NE(text.find("name=\"Company.Product.Caf\xC3\xA9 &amp; Co.exe\" \r\n"), std::string::npos);

  ACTCTXA context = {};
  context.cbSize = sizeof context;
  std::string manifest = program + ".manifest";
  context.lpSource = manifest.c_str();
  HANDLE activation = CreateActCtxA(&context);
  EXPECT_NE(activation, INVALID_HANDLE_VALUE) << GetLastError();
  if (activation != INVALID_HANDLE_VALUE)
    ReleaseActCtx(activation);
}

TEST_F(XPLook, TheArchitectureComesFromTheProgramsHeader) {
  // A 64-bit program's header: the DOS stub's pointer, the signature and the machine field.
  std::string header(0x100, '\0');
  header[0] = 'M';
  header[1] = 'Z';
  header[0x3C] = char(0x80);
  header.replace(0x80, 6, std::string("PE\0\0\x64\x86", 6));
  std::string wide = testenv::TestDir() + "wide.exe";
  testenv::WriteFile(wide, header);
  std::string text = testenv::TestDir() + "notes.exe";
  testenv::WriteFile(text, "just some text");
  OpenForm();
  Add(wide, Added);
  std::string manifest = testenv::ReadFile(wide + ".manifest");
  EXPECT_NE(manifest.find("processorArchitecture=\"amd64\" name="), std::string::npos);
  EXPECT_NE(manifest.find("\r\nprocessorArchitecture=\"amd64\" \r\n"), std::string::npos);
  Add(text, "no Windows program");
  EXPECT_FALSE(FileExists(text + ".manifest"));
}

TEST_F(XPLook, AFailedSaveOrRemovalKeepsTheMarksAndAnUnreadableManifestIsSaidToBeSo) {
  std::string program = Program("held.exe");
  std::string manifest = program + ".manifest";
  OpenForm();
  Add(program, Added);
  // Read-only is kept everywhere; hidden only where the file system keeps such marks.
  int marks = FILE_ATTRIBUTE_READONLY;
  if (testenv::KeepsAttributes())
    marks |= FILE_ATTRIBUTE_HIDDEN;
  FileSetAttr(manifest, marks);
  const std::string before = testenv::ReadFile(manifest);
  {
    // Another program reads it and lets others read, but not write or delete.
    HANDLE held = CreateFileA(manifest.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FrmXPLook->Edit1->SetText(program);
    testenv::Prompts().Expect("", IDOK, "Error");
    FrmXPLook->BitBtn4->Click();
    EXPECT_EQ(FileGetAttr(manifest) & marks, marks);
    Remove(program, "could not be removed");
    EXPECT_EQ(FileGetAttr(manifest) & marks, marks);
    CloseHandle(held);
  }
  {
    // Opened by another program that shares it with nobody: not even read.
    HANDLE locked =
        CreateFileA(manifest.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    Add(program, "can't be read");
    Remove(program, "can't be read");
    CloseHandle(locked);
  }
  EXPECT_EQ(testenv::Prompts().Pending(), 0u);
  EXPECT_EQ(testenv::ReadFile(manifest), before);
  EXPECT_EQ(FileGetAttr(manifest) & marks, marks);
}
