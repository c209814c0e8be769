// Grove: the sample logon screen that ships with Lumagrove. Winlogon runs the program named by
// its UIHost value as the welcome screen; this one greets the user over the whole screen and
// ends at a click or a key, which hands the logon back to the system's own dialog.
#include <windows.h>

namespace {

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  // Dark green at the top to a lighter green below, in bands of four pixels.
  for (int y = 0; y < client.bottom; y += 4) {
    int t = client.bottom > 1 ? y * 255 / (client.bottom - 1) : 0;
    HBRUSH band = CreateSolidBrush(RGB(24 + 30 * t / 255, 92 + 40 * t / 255, 54 + 20 * t / 255));
    RECT r = {0, y, client.right, y + 4};
    FillRect(dc, &r, band);
    DeleteObject(band);
  }
  int line = client.bottom * 62 / 100;
  HBRUSH light = CreateSolidBrush(RGB(150, 210, 160));
  RECT rule = {0, line, client.right, line + 2};
  FillRect(dc, &rule, light);
  DeleteObject(light);

  int size = client.bottom / 8;
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)))
    DrawIconEx(dc, client.right / 4 - size / 2, line - size * 3 / 2, icon, size, size, 0, nullptr,
               DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  HFONT big = CreateFontA(-size * 2 / 3, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                          ANTIALIASED_QUALITY, 0, "Tahoma");
  HGDIOBJ old = SelectObject(dc, big);
  SetTextColor(dc, RGB(240, 250, 240));
  RECT title = {client.right / 4 + size, line - size * 3 / 2, client.right, line - size / 2};
  DrawTextA(dc, "Welcome", -1, &title, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  HFONT small = CreateFontA(-size / 4, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                            ANTIALIASED_QUALITY, 0, "Tahoma");
  SelectObject(dc, small);
  SetTextColor(dc, RGB(200, 230, 205));
  RECT hint = {0, client.bottom * 5 / 6, client.right, client.bottom};
  DrawTextA(dc, "Click to log on", -1, &hint, DT_SINGLELINE | DT_CENTER | DT_TOP);
  SelectObject(dc, old);
  DeleteObject(big);
  DeleteObject(small);
  EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
  case WM_PAINT:
    Paint(window);
    return 0;
  case WM_LBUTTONUP:
  case WM_KEYDOWN:
    DestroyWindow(window);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
  wc.lpszClassName = "GroveLogonScreen";
  if (!RegisterClassA(&wc))
    return 1;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Grove", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, instance, nullptr);
  if (!window)
    return 1;
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
