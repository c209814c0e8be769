#include "toolkit/forms/ExtDlgs.h"

#include <algorithm>
#include <cmath>

#include "toolkit/win32/FileUtil.h"

namespace tk {

namespace {

// The placeholder of the system's own controls in a custom template (dlgs.h's stc32), and ours.
constexpr WORD StandardControls = 0x045f;
constexpr WORD PreviewCaption = 0x0501;
constexpr WORD PreviewPicture = 0x0502;

// A dialog template in memory: the DLGTEMPLATE layout, items aligned to whole DWORDs.
class TTemplateWriter {
public:
  explicit TTemplateWriter(std::vector<WORD> &out) : out_(out) { out_.clear(); }
  void Dword(DWORD value) {
    out_.push_back(LOWORD(value));
    out_.push_back(HIWORD(value));
  }
  void Word(WORD value) { out_.push_back(value); }
  void Text(const char *text) {
    for (const char *p = text; *p; ++p)
      out_.push_back(WORD(static_cast<unsigned char>(*p)));
    out_.push_back(0);
  }
  void Align() {
    if (out_.size() % 2)
      out_.push_back(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, const char *text) {
    Align();
    Dword(style | WS_CHILD);
    Dword(0);
    for (short v : {x, y, cx, cy})
      Word(WORD(v));
    Word(id);
    Word(0xFFFF); // a predefined class: static
    Word(0x0082);
    Text(text);
    Word(0); // no creation data
  }

private:
  std::vector<WORD> &out_;
};

TOpenPictureDialog *DialogOf(HWND dialog) {
  return reinterpret_cast<TOpenPictureDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

} // namespace

TOpenPictureDialog::TOpenPictureDialog(TComponent *owner) : TOpenDialog(owner) {
  Filter = PictureFilter();
}

TOpenPictureDialog::~TOpenPictureDialog() = default;

std::string TOpenPictureDialog::PictureFilter() {
  static const struct {
    const char *name;
    const char *masks;
  } kinds[] = {
      {"JPEG pictures", "*.jpg;*.jpeg;*.jpe;*.jfif"}, {"Bitmaps", "*.bmp"}, {"Icons", "*.ico"}};
  std::string all, each;
  for (const auto &kind : kinds) {
    if (!all.empty())
      all += ';';
    all += kind.masks;
    each.append("|").append(kind.name).append(" (").append(kind.masks).append(")|");
    each += kind.masks;
  }
  std::string filter = "All pictures (";
  filter.append(all).append(")|").append(all).append(each);
  return filter;
}

// The preview sits right of the system's controls: the placeholder marks where those go, and
// the system moves whatever lies right of it further right to make room.
void TOpenPictureDialog::Customize(OPENFILENAMEA &ofn) {
  TTemplateWriter t(template_);
  t.Dword(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL | DS_SETFONT);
  t.Dword(0);
  t.Word(3);
  for (short v : {0, 0, 150, 150})
    t.Word(WORD(v));
  t.Word(0); // no menu
  t.Word(0); // the dialog class
  t.Text("");
  t.Word(8);
  t.Text("MS Shell Dlg");
  t.Item(SS_LEFT, 0, 0, 4, 150, StandardControls, "");
  t.Item(WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 8, 14, 120, 9, PreviewCaption, "");
  t.Item(WS_VISIBLE | SS_OWNERDRAW, 8, 26, 120, 110, PreviewPicture, "");

  preview_.reset();
  ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
  ofn.hInstance = reinterpret_cast<HINSTANCE>(template_.data());
  ofn.lpfnHook = &TOpenPictureDialog::PreviewHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT_PTR CALLBACK TOpenPictureDialog::PreviewHook(HWND dialog, UINT msg, WPARAM wParam,
                                                  LPARAM lParam) {
  switch (msg) {
  case WM_INITDIALOG:
    SetWindowLongPtrA(dialog, DWLP_USER,
                      LONG_PTR(reinterpret_cast<const OPENFILENAMEA *>(lParam)->lCustData));
    return TRUE;
  case WM_NOTIFY:
    if (reinterpret_cast<NMHDR *>(lParam)->code == CDN_SELCHANGE) {
      char path[MAX_PATH * 2] = {};
      SendMessageA(GetParent(dialog), CDM_GETFILEPATH, sizeof(path), LPARAM(path));
      if (TOpenPictureDialog *self = DialogOf(dialog))
        self->ShowPreview(dialog, path);
    }
    return 0;
  case WM_DRAWITEM:
    if (wParam == PreviewPicture) {
      if (TOpenPictureDialog *self = DialogOf(dialog))
        self->DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
      return TRUE;
    }
    return 0;
  default:
    return 0;
  }
}

void TOpenPictureDialog::ShowPreview(HWND dialog, const std::string &fileName) {
  preview_.reset();
  std::string caption;
  if (FileExists(fileName)) {
    auto picture = std::make_unique<TPicture>();
    try {
      picture->LoadFromFile(fileName);
    } catch (const Exception &) {
      // Not a picture the toolkit reads: no preview.
    }
    if (picture->Graphic() && !picture->Graphic()->Empty()) {
      caption = IntToStr(picture->Width()) + " x " + IntToStr(picture->Height());
      preview_ = std::move(picture);
    }
  }
  SetDlgItemTextA(dialog, PreviewCaption, caption.c_str());
  InvalidateRect(GetDlgItem(dialog, PreviewPicture), nullptr, TRUE);
}

void TOpenPictureDialog::DrawPreview(const DRAWITEMSTRUCT &item) {
  TCanvas canvas;
  canvas.SetHandle(item.hDC);
  RECT area = item.rcItem;
  canvas.Brush().SetColor(clBtnShadow);
  canvas.FrameRect(area);
  InflateRect(&area, -1, -1);
  canvas.Brush().SetColor(clWindow);
  canvas.FillRect(area);
  if (preview_) {
    // Shrunk to fit, keeping its shape; a small picture keeps its size.
    int w = preview_->Width(), h = preview_->Height();
    int aw = area.right - area.left, ah = area.bottom - area.top;
    double scale = std::min({1.0, double(aw) / w, double(ah) / h});
    int dw = std::max(1, int(std::lround(w * scale))),
        dh = std::max(1, int(std::lround(h * scale)));
    RECT dest{area.left + (aw - dw) / 2, area.top + (ah - dh) / 2, 0, 0};
    dest.right = dest.left + dw;
    dest.bottom = dest.top + dh;
    canvas.StretchDraw(dest, *preview_->Graphic());
  }
  canvas.SetHandle(nullptr);
}

} // namespace tk
