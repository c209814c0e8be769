// The Open dialog for pictures: the system's Open dialog with a preview of the chosen picture
// beside its list, and a filter of the picture kinds the toolkit reads.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/forms/Dialogs.h"

namespace tk {

class TOpenPictureDialog : public TOpenDialog {
public:
  explicit TOpenPictureDialog(TComponent *owner);
  ~TOpenPictureDialog() override;
  const char *ClassName() const override { return "TOpenPictureDialog"; }

  // Every kind TPicture loads, all together first and then one entry per kind.
  static std::string PictureFilter();

  // The dialog's window procedure for the preview part (its hook).
  static UINT_PTR CALLBACK PreviewHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  void Customize(OPENFILENAMEA &ofn) override;

private:
  // The file under the cursor in the list, shown in the preview (nothing for none or a file
  // that holds no picture).
  void ShowPreview(HWND dialog, const std::string &fileName);
  void DrawPreview(const DRAWITEMSTRUCT &item);

  std::vector<WORD> template_; // the preview part's dialog template, kept while it is shown
  std::unique_ptr<TPicture> preview_;
};

} // namespace tk
