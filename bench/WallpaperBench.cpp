// The wallpaper page for 10,000 pictures: generating and writing it, against writing the same
// bytes with one WriteFile. Prints both times (the best of several runs) and their ratio.
#include <windows.h>

#include <cstdio>
#include <string>

#include "features/wallpaper/WallpaperPage.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main() {
  WallpaperPageSettings settings;
  settings.transitionTime = "2";
  settings.screenWidth = 1024;
  settings.screenHeight = 768;
  settings.basePath = "C:\\Program Files\\Lumagrove\\Wallpaper\\";
  settings.homePath = "C:\\Program Files\\Lumagrove\\";
  for (int i = 0; i < 10000; ++i)
    settings.pictures.push_back("C:\\Documents and Settings\\user\\My Pictures\\Holiday\\picture" +
                                std::to_string(100000 + i) + ".jpg");
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string file = std::string(temp) + "wallpaper_bench.html";
  std::string bytes = WallpaperPageText(settings, PlayerScriptLines());

  const int runs = 20;
  double generate = 1e9, write = 1e9;
  for (int run = 0; run < runs; ++run) {
    LARGE_INTEGER a, b, c;
    QueryPerformanceCounter(&a);
    bool saved = SavePageFile(file, WallpaperPageText(settings, PlayerScriptLines()));
    QueryPerformanceCounter(&b);
    saved = SavePageFile(file, bytes) && saved;
    QueryPerformanceCounter(&c);
    if (!saved) {
      std::printf("could not write %s\n", file.c_str());
      return 1;
    }
    generate = std::min(generate, Seconds(a, b));
    write = std::min(write, Seconds(b, c));
  }
  DeleteFileA(file.c_str());
  std::printf("page of 10,000 pictures (%zu bytes): generated and written %.2f ms, one WriteFile "
              "%.2f ms, ratio %.2f\n",
              bytes.size(), generate * 1000, write * 1000, generate / write);
  return 0;
}
