// Applications: a manifest beside a chosen program that asks Windows for the visual styles of
// the common controls (version 6), and its removal.
#pragma once

#include <string>

#include "toolkit/forms/Buttons.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/StdCtrls.h"

// The identity name of every manifest Lumagrove writes starts with this; a manifest without it
// belongs to the program and is never replaced or removed.
inline constexpr const char *OurManifestName = "Company.Product.";

// The processorArchitecture a manifest for this program must name, from its executable header
// ("X86", "amd64", "ia64", "arm64"); empty when the file is no program we can read.
std::string ProgramArchitecture(const std::string &FileName);

class TFrmXPLook : public tk::TForm {
public:
  using tk::TForm::TForm;
  const char *ClassName() const override { return "TFrmXPLook"; }

  tk::TGroupBox *GroupBox1 = nullptr;
  tk::TEdit *Edit1 = nullptr;
  tk::TBitBtn *BitBtn1 = nullptr;
  tk::TBitBtn *BitBtn4 = nullptr;
  tk::TGroupBox *GroupBox2 = nullptr;
  tk::TEdit *Edit2 = nullptr;
  tk::TBitBtn *BitBtn2 = nullptr;
  tk::TBitBtn *BitBtn3 = nullptr;
  tk::TGroupBox *GroupBox3 = nullptr;
  tk::TLabel *Label1 = nullptr;
  tk::TBitBtn *BitBtn5 = nullptr;
  tk::TMemo *Memo1 = nullptr;
  tk::TOpenDialog *OpenDialog1 = nullptr;

  void FormCreate(tk::TObject *Sender);
  void FormClose(tk::TObject *Sender, tk::TCloseAction &Action);
  void BitBtn1Click(tk::TObject *Sender);
  void BitBtn2Click(tk::TObject *Sender);
  void BitBtn3Click(tk::TObject *Sender);
  void BitBtn4Click(tk::TObject *Sender);
  void BitBtn5Click(tk::TObject *Sender);

protected:
  void Build() override;

private:
  bool ProgramChosen(tk::TEdit *edit);
  enum class TOwner { Ours, Program, Unreadable };
  TOwner ManifestOwner(const std::string &manifest);
  bool MayReplace(const std::string &manifest, int &marks);
  void PutMarksBack(const std::string &manifest, int marks);
  void Tell(const char *key, const char *text, const char *captionKey, const char *caption,
            UINT flags);
};

extern TFrmXPLook *FrmXPLook;
