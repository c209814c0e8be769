// js.exe: the wallpaper page's script step. Lumagrove writes the page and then runs
//
//     js.exe /f <page>
//
// before it hands the page to the desktop. The desktop's browser must still run the page
// afterwards, so this step never rewrites it: it reads the page and checks that it is one the
// browser will run (an <html> document whose head carries a complete script block and whose
// text ends with </html>), and reports what it found in its exit code. The page on disk is
// never opened for writing, so no failure here can damage it.
//
// Exit codes: 0 the page is whole; 1 bad command line; 2 the page could not be read; 3 the page
// is not a whole page (no script block, a block left open, or cut short).
#include <windows.h>

#include <string>

namespace {

enum ExitCode { PageWhole = 0, BadCommandLine = 1, Unreadable = 2, NotAPage = 3 };

// The page's name from "/f <page>" (the name may be quoted and may hold blanks).
bool PageName(const std::string &commandLine, std::string &page) {
  // Skip the program's own name, quoted or not.
  size_t i = 0;
  if (i < commandLine.size() && commandLine[i] == '"') {
    i = commandLine.find('"', 1);
    if (i == std::string::npos)
      return false;
    ++i;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t')
      ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t'))
    ++i;
  if (commandLine.compare(i, 2, "/f") != 0 && commandLine.compare(i, 2, "/F") != 0)
    return false;
  i += 2;
  while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t'))
    ++i;
  page = commandLine.substr(i);
  while (!page.empty() && (page.back() == ' ' || page.back() == '\t'))
    page.pop_back();
  if (page.size() >= 2 && page.front() == '"' && page.back() == '"')
    page = page.substr(1, page.size() - 2);
  return !page.empty();
}

bool ReadWhole(const std::string &name, std::string &bytes) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  bool ok = true;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof(buffer), &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0)
      break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return ok;
}

std::string Lower(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z')
      c = char(c - 'A' + 'a');
  return text;
}

// Every <script opens a block that a </script> closes before the next one opens; there is at
// least one, and the document is an html one that ends with </html>.
bool WholePage(const std::string &bytes) {
  std::string text = Lower(bytes);
  if (text.find("<html>") == std::string::npos)
    return false;
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos || end + 1 < 7 || text.compare(end + 1 - 7, 7, "</html>") != 0)
    return false;
  size_t at = 0, blocks = 0;
  while ((at = text.find("<script", at)) != std::string::npos) {
    size_t close = text.find("</script>", at);
    size_t next = text.find("<script", at + 7);
    if (close == std::string::npos || (next != std::string::npos && next < close))
      return false;
    ++blocks;
    at = close + 9;
  }
  return blocks > 0;
}

} // namespace

int main() {
  std::string page;
  if (!PageName(GetCommandLineA(), page))
    return BadCommandLine;
  std::string bytes;
  if (!ReadWhole(page, bytes))
    return Unreadable;
  return WholePage(bytes) ? PageWhole : NotAPage;
}
