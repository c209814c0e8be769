#include "archive/VolumeNames.h"

#include <gtest/gtest.h>

using namespace arc;

TEST(VolumeNames, NextVolumeOfASplitZip) {
  const std::string set = "C:\\sets\\backup.zip";
  EXPECT_EQ(NextVolumeName(set, set, 0, 3), "C:\\sets\\backup.z01");
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup.z01", set, 1, 3), "C:\\sets\\backup.z02");
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup.z02", set, 2, 3), "C:\\sets\\backup.z03");
  // The last volume carries the set's own name.
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup.z03", set, 3, 3), set);
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup.z03", set, 4, 3), set);
  // Past two digits the number just grows; a name without extension gets one; a dot in a
  // folder's name is no extension.
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup.z99", set, 99, 200), "C:\\sets\\backup.z100");
  EXPECT_EQ(NextVolumeName("C:\\sets\\backup", set, 0, 1), "C:\\sets\\backup.z01");
  EXPECT_EQ(NextVolumeName("C:\\my.sets\\backup", set, 8, 10), "C:\\my.sets\\backup.z09");
}

TEST(VolumeNames, ExtensionByNumber) {
  char letter = 'z';
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", 0), ".z00");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", 7), ".z07");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", 42), ".z42");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", 100), ".100");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", 1234), ".1234");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set", -1), "");
  EXPECT_EQ(letter, 'z'); // only RAR sets move the letter on

  // RAR sets count to 99 and go on with the next letter.
  letter = 'r';
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set", 1), ".r01");
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set", 99), ".r99");
  EXPECT_EQ(letter, 'r');
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set", 100), ".s00");
  EXPECT_EQ(letter, 's');
  EXPECT_EQ(VolumeExtension(atRarExe, letter, "C:\\a\\set", 101), ".s01");
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set", 0), ".t00");
  EXPECT_EQ(letter, 't');
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set", -5), "");
  EXPECT_EQ(letter, 't');
}

TEST(VolumeNames, RarPartExtensions) {
  char letter = 'r';
  // The part number is two on from Number, as wide as the existing one.
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set.part1", 0), ".part2.rar");
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set.part1", 10), ".part12.rar");
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set.part01", 8), ".part10.rar");
  EXPECT_EQ(VolumeExtension(atRarExe, letter, "C:\\a\\set.PART001", 0), ".part002.rar");
  EXPECT_EQ(letter, 'r');
  // ".part" alone is too short to be a part number, and other kinds don't look.
  EXPECT_EQ(VolumeExtension(atRar, letter, "C:\\a\\set.part", 3), ".r03");
  EXPECT_EQ(VolumeExtension(atZip, letter, "C:\\a\\set.part01", 3), ".r03");
}

TEST(VolumeNames, NumberedVolumes) {
  char letter = 'z';
  EXPECT_EQ(NumberedVolumeName(atZip, letter, "", 1), "");
  EXPECT_EQ(NumberedVolumeName(atZip, letter, "C:\\sets\\backup.zip", -1), "");
  EXPECT_EQ(NumberedVolumeName(atZip, letter, "C:\\sets\\backup.zip", 3), "C:\\sets\\backup.z03");
  // The name is cut at its first dot; the folder's dots stay.
  EXPECT_EQ(NumberedVolumeName(atZip, letter, "C:\\sets\\backup.tar.zip", 12),
            "C:\\sets\\backup.z12");
  EXPECT_EQ(NumberedVolumeName(atZip, letter, "C:\\my.sets\\backup.zip", 150),
            "C:\\my.sets\\backup.150");
  letter = 'r';
  EXPECT_EQ(NumberedVolumeName(atRar, letter, "C:\\sets\\arc.rar", 1), "C:\\sets\\arc.r01");
  EXPECT_EQ(NumberedVolumeName(atRar, letter, "C:\\sets\\arc.part01.rar", 1), "C:\\sets\\arc.r01");
  EXPECT_EQ(NumberedVolumeName(atRar, letter, "C:\\sets\\arc.rar", 200), "C:\\sets\\arc.s00");
  EXPECT_EQ(letter, 's');
}
