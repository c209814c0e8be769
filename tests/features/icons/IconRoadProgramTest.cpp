// The main road on the real program: Lumagrove started as a child in a copy of its folder, the
// "Icons" link clicked, My Computer double-clicked, a shipped package applied, all through the
// messages a user's clicks send (tests/helpers/drive_icons.cpp). The child writes the prefix's
// own registry and folders, so what the icon places held is put back afterwards.
#include "IconFixture.h"

#include <optional>
#include <vector>

#include "../../app/ChildProgram.h"
#include "features/icons/Func_Icon.h"
#include "toolkit/win32/FileUtil.h"

using namespace icontest;

namespace {

// While it lives, the registry roots are the prefix's own; what the icon places (values and
// folder settings files) held when it was made is put back when it ends.
class RealIconPlaces {
public:
  RealIconPlaces() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    roots_.emplace();
    for (const IconPlace &place : IconPlaces()) {
      Saved saved;
      if (IconPlaceValue(place, saved.root, saved.key, saved.name)) {
        saved.existed =
            testenv::GetRawValue(saved.root, saved.key, saved.name, saved.type, saved.bytes);
        values_.push_back(saved);
      }
    }
    folders_.push_back(tk::RealPlaces().FavoritesDir());
    for (const char *name : {"My Pictures", "My Music"})
      folders_.push_back(ReadRegValue(HKEY_CURRENT_USER, ShellFolders, name));
    for (const std::string &folder : folders_) {
      std::string ini = folder + "\\desktop.ini";
      files_.push_back(tk::FileExists(ini) ? std::optional(testenv::ReadFile(ini)) : std::nullopt);
      attributes_.push_back(tk::FileGetAttr(folder));
    }
  }
  ~RealIconPlaces() {
    for (const Saved &saved : values_) {
      if (saved.existed) {
        testenv::SetRawValue(saved.root, saved.key, saved.name, saved.type, saved.bytes);
      } else {
        HKEY key;
        if (RegOpenKeyExA(saved.root, saved.key.c_str(), 0, KEY_SET_VALUE, &key) == 0) {
          RegDeleteValueA(key, saved.name.c_str());
          RegCloseKey(key);
        }
      }
    }
    for (size_t i = 0; i < folders_.size(); ++i) {
      if (folders_[i].empty())
        continue;
      std::string ini = folders_[i] + "\\desktop.ini";
      tk::FileSetAttr(ini, 0);
      if (files_[i])
        testenv::WriteFile(ini, *files_[i]);
      else
        tk::DeleteFile(ini);
      if (attributes_[i] != -1)
        tk::FileSetAttr(folders_[i], attributes_[i]);
    }
    roots_.reset();
    RegOverridePredefKey(HKEY_CURRENT_USER, testenv::SandboxRoot(HKEY_CURRENT_USER));
  }

private:
  struct Saved {
    HKEY root;
    std::string key, name;
    bool existed = false;
    DWORD type = 0;
    std::string bytes;
  };
  std::optional<testenv::RealMachineRoots> roots_;
  std::vector<Saved> values_;
  std::vector<std::string> folders_;
  std::vector<std::optional<std::string>> files_;
  std::vector<int> attributes_;
};

// One step of the road; true when its window appeared.
bool Step(DWORD pid, const std::string &step) {
  childprogram::Child driver;
  if (!driver.Start(testenv::ExeDir() + "drive_icons.exe", std::to_string(pid) + " " + step))
    return false;
  if (!driver.Ended(120000))
    return false;
  DWORD code = 1;
  GetExitCodeProcess(driver.pi.hProcess, &code);
  return code == 0;
}

TEST(IconRoad, AShippedPackageAppliedFromTheIconsLink) {
  RealIconPlaces guard;
  const std::string dir = childprogram::ProgramCopy();
  tk::TIniFile(dir + "Data\\Config.ini").WriteString("Icon", "RestoreBeforeApply", "0");
  childprogram::Child program;
  ASSERT_TRUE(program.Start(dir + "Lumagrove.exe", ""));
  ASSERT_NE(program.WaitForMainWindow(60000), nullptr);
  const DWORD pid = program.pi.dwProcessId;
  ASSERT_TRUE(Step(pid, "icons")) << "the single icons form did not open";
  ASSERT_TRUE(Step(pid, "packages")) << "the icon packages form did not open";
  ASSERT_TRUE(Step(pid, "apply")) << "the package was not applied";

  const std::string held =
      ReadRegValue(HKEY_CURRENT_USER, ExplorerClsid("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), "");
  bool shipped = false;
  for (const char *name : {"Meadow", "Dusk"})
    shipped = shipped || tk::SameText(held, dir + "IconThemes\\" + name + "\\" + name + ".icl,1");
  EXPECT_TRUE(shipped) << held;
  std::string overlay = ReadRegValue(HKEY_LOCAL_MACHINE, ShellIcons, "29");
  EXPECT_EQ(IconLocationIndex(overlay), 36) << overlay;
}

} // namespace
