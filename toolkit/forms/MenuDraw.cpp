// Owner-drawn menu items: the image of the menu's image list in a column on the left, the
// caption (and its shortcut) beside it, lines as an etched rule; the system's menu font and
// colours, the highlight for the item under the mouse.
#include "toolkit/forms/Menus.h"

#include <algorithm>

namespace tk {

namespace {

constexpr int ImageColumn = 24; // the image (16 pixels) and its margins
constexpr int TextMargin = 8;
constexpr int LineHeight = 8;

HFONT MenuFont() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof(metrics); // without Vista's extra field, which every Windows accepts
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    return nullptr;
  return CreateFontIndirectA(&metrics.lfMenuFont);
}

// The caption and the shortcut, the way the system's own items show them.
std::string ItemText(const TMenuItem &item) {
  std::string text = item.Caption();
  if (item.ShortCut())
    text.append("\t").append(ShortCutToText(item.ShortCut()));
  return text;
}

} // namespace

void TMenuItem::MeasureItem(HDC dc, UINT &width, UINT &height) {
  if (IsLine()) {
    width = 0;
    height = LineHeight;
    return;
  }
  HFONT font = MenuFont();
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  RECT r = {0, 0, 0, 0};
  std::string text = ItemText(*this);
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  if (font) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  width = UINT(ImageColumn + TextMargin + (r.right - r.left) + TextMargin);
  height = UINT(std::max<LONG>(r.bottom - r.top + 6, GetSystemMetrics(SM_CYMENU)));
}

void TMenuItem::DrawItem(HDC dc, const RECT &rect, UINT state) {
  if (IsLine()) {
    RECT line = rect;
    line.top += (rect.bottom - rect.top) / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool selected = (state & ODS_SELECTED) != 0;
  bool grayed = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

  TMenu *menu = GetParentMenu();
  TImageList *images = menu ? menu->Images() : nullptr;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    int x = rect.left + (ImageColumn - images->Width()) / 2;
    int y = rect.top + (rect.bottom - rect.top - images->Height()) / 2;
    ImageList_DrawEx(images->Handle(), imageIndex_, dc, x, y, 0, 0, CLR_NONE, CLR_NONE,
                     grayed ? ILD_TRANSPARENT | ILD_BLEND50 : ILD_TRANSPARENT);
  }

  HFONT font = MenuFont();
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  int mode = SetBkMode(dc, TRANSPARENT);
  COLORREF colour = SetTextColor(dc, GetSysColor(grayed     ? COLOR_GRAYTEXT
                                                 : selected ? COLOR_HIGHLIGHTTEXT
                                                            : COLOR_MENUTEXT));
  RECT text = rect;
  text.left += ImageColumn + TextMargin;
  text.right -= TextMargin;
  std::string caption = ItemText(*this);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (state & ODS_NOACCEL)
    flags |= DT_HIDEPREFIX;
  DrawTextA(dc, caption.c_str(), int(caption.size()), &text, flags);
  SetTextColor(dc, colour);
  SetBkMode(dc, mode);
  if (font) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
}

void InstallMenuDrawing() {
  if (TWinControl::MenuMeasureItem)
    return;
  TWinControl::MenuMeasureItem = [](MEASUREITEMSTRUCT &item) {
    TMenuItem *menuItem = TMenuItem::FromCommand(item.itemID);
    if (!menuItem)
      return false;
    HDC dc = GetDC(nullptr);
    menuItem->MeasureItem(dc, item.itemWidth, item.itemHeight);
    ReleaseDC(nullptr, dc);
    return true;
  };
  TWinControl::MenuDrawItem = [](const DRAWITEMSTRUCT &item) {
    TMenuItem *menuItem = TMenuItem::FromCommand(item.itemID);
    if (!menuItem)
      return false;
    menuItem->DrawItem(item.hDC, item.rcItem, item.itemState);
    return true;
  };
}

} // namespace tk
