// The package installers' use of the extraction: a component owned by the form, every file
// selected with folders recursed, the package folder as target, no event assigned. The count
// Extract returns and FailedCount are all they learn, so both must be right.
#include "ZipInputs.h"

namespace {

using namespace ziptest;

ZipCase FindPackage(const std::string &name) {
  for (const ZipCase &c : LoadZipCases("package"))
    if (c.Name() == name)
      return c;
  return {};
}

struct InstallResult {
  int32_t Count = -1, Failed = -1;
};

// Exactly what the installers do: no event, the owner frees the component.
InstallResult Install(const std::string &archive, const std::filesystem::path &folder) {
  InstallResult result;
  tk::TComponent form(nullptr);
  auto *unzip = new arc::TUnZip(&form);
  unzip->SetArchiveFile(NativeName(archive));
  unzip->RecurseDirs = true;
  unzip->FileSpec().Clear();
  unzip->FileSpec().Add("*.*");
  unzip->SetExtractDir(NativeName(folder));
  result.Count = unzip->Extract();
  result.Failed = unzip->FailedCount();
  return result;
}

TEST(InstallerUse, PackageUnpacksWhole) {
  const ZipCase c = FindPackage("package");
  ASSERT_FALSE(c.Name().empty());
  GuardedTarget place;
  const InstallResult first = Install(InputPath(c.Get("archive")), place.Target());
  EXPECT_EQ(std::stoi(c.Get("files")), first.Count);
  EXPECT_EQ(0, first.Failed);
  ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(place.Target()));
  // Installing the same package again over its files.
  const InstallResult again = Install(InputPath(c.Get("archive")), place.Target());
  EXPECT_EQ(first.Count, again.Count);
  EXPECT_EQ(0, again.Failed);
  ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(place.Target()));
  place.Check();
}

// The package folder does not exist yet: it is made, with its parents, by the first entry.
TEST(InstallerUse, PackageFolderIsMadeWithItsParents) {
  const ZipCase c = FindPackage("package");
  ASSERT_FALSE(c.Name().empty());
  GuardedTarget place;
  const std::filesystem::path folder = place.Target() / "Packages" / "Grove";
  const InstallResult result = Install(InputPath(c.Get("archive")), folder);
  EXPECT_EQ(std::stoi(c.Get("files")), result.Count);
  EXPECT_EQ(0, result.Failed);
  ExpectSameTree(ReadTree(InputPath(c.Get("ref"))), ReadTree(folder));
  place.Check();
}

TEST(InstallerUse, DamagedEntryIsCountedAsFailed) {
  const ZipCase c = FindPackage("package-damaged");
  ASSERT_FALSE(c.Name().empty());
  GuardedTarget place;
  const InstallResult result = Install(InputPath(c.Get("archive")), place.Target());
  // The damaged entry was accepted and written, then failed its check.
  EXPECT_EQ(std::stoi(c.Get("files")), result.Count);
  EXPECT_EQ(std::stoi(c.Get("failed")), result.Failed);
  Tree expected = ReadTree(InputPath(c.Get("ref")));
  Tree actual = ReadTree(place.Target());
  // The damaged file is removed, or stays with what was read; it is never the good one.
  if (actual.count("Theme.ini")) {
    EXPECT_FALSE(actual["Theme.ini"] == expected["Theme.ini"]);
  }
  expected.erase("Theme.ini");
  actual.erase("Theme.ini");
  ExpectSameTree(expected, actual);
  place.Check();
}

TEST(InstallerUse, MissingPackageExtractsNothing) {
  GuardedTarget place;
  const InstallResult result =
      Install((place.Target().parent_path() / "no-such-package.iptheme").string(), place.Target());
  EXPECT_EQ(0, result.Count);
  EXPECT_TRUE(ReadTree(place.Target()).empty());
  place.Check();
}

// A package that is not a zip archive at all (a text file under the package's name).
TEST(InstallerUse, NonArchiveExtractsNothing) {
  GuardedTarget place;
  const std::filesystem::path fake = place.Target().parent_path() / "sibling" / "fake.iptheme";
  WriteAll(fake.string(), SampleData(5000, 3));
  const InstallResult result = Install(fake.string(), place.Target());
  EXPECT_EQ(0, result.Count);
  EXPECT_TRUE(ReadTree(place.Target()).empty());
  std::filesystem::remove(fake);
  place.Check();
}

} // namespace
