#include "common/Translation.h"

#include "common/RegUnit.h"
#include "toolkit/forms/Dialogs.h"
#include "toolkit/forms/ExtCtrls.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/forms/Menus.h"
#include "toolkit/forms/StdCtrls.h"
#include "toolkit/win32/FileUtil.h"
#include "toolkit/win32/IniFiles.h"

using namespace tk;

namespace {

const char *const kTranslations = "Translations";
// A language file's values are read up to this many characters.
constexpr size_t kLanguageValueLength = 2047;

std::string LanguageValue() { return ReadRegValue(HKEY_CURRENT_USER, ProgramKey, "Language"); }

void TranslateItems(TIniFile &ini, const std::string &prefix, TStringList &items) {
  items.BeginUpdate();
  for (int i = 0; i < items.Count(); ++i)
    items.SetString(
        i, ini.ReadString(kTranslations, prefix + "Items." + IntToStr(i), items.Strings(i)));
  items.EndUpdate();
}

void TranslateControl(TIniFile &ini, const std::string &prefix, TControl *control) {
  control->Hint = ini.ReadString(kTranslations, prefix + "Hint", control->Hint);
  // A labelled edit's label belongs to the edit, not to the form, so the form's component list
  // never reaches it: it is keyed by the property that holds it, as the form description names
  // it.
  if (auto *labelled = dynamic_cast<TLabeledEdit *>(control); labelled && labelled->EditLabel())
    TranslateControl(ini, prefix + "EditLabel.", labelled->EditLabel());
  // Edits hold the user's data: only their hint is translated.
  if (dynamic_cast<TCustomEdit *>(control))
    return;
  if (auto *list = dynamic_cast<TCustomListBox *>(control))
    TranslateItems(ini, prefix, list->Items());
  if (auto *combo = dynamic_cast<TCustomComboBox *>(control)) {
    // A combo box's text is its selection, never a caption.
    TranslateItems(ini, prefix, combo->Items());
    return;
  }
  control->SetText(ini.ReadString(kTranslations, prefix + "Caption", control->GetText()));
}

void TranslateComponent(TIniFile &ini, const std::string &prefix, TComponent *component) {
  if (auto *control = dynamic_cast<TControl *>(component)) {
    TranslateControl(ini, prefix, control);
  } else if (auto *item = dynamic_cast<TMenuItem *>(component)) {
    item->SetCaption(ini.ReadString(kTranslations, prefix + "Caption", item->Caption()));
    item->Hint = ini.ReadString(kTranslations, prefix + "Hint", item->Hint);
  } else if (auto *dialog = dynamic_cast<TOpenDialog *>(component)) {
    dialog->Filter = ini.ReadString(kTranslations, prefix + "Hint", dialog->Filter);
    dialog->Title = ini.ReadString(kTranslations, prefix + "Caption", dialog->Title);
  }
  // Image lists, timers, tray icons, help routers and searches have no texts.
}

void TranslateForm(TIniFile &ini, TCustomForm *form) {
  const std::string name = form->GetName();
  form->SetText(ini.ReadString(kTranslations, name + ".Caption", form->GetText()));
  form->Hint = ini.ReadString(kTranslations, name + ".Hint", form->Hint);
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent *component = form->Components(i);
    if (component->Tag == TranslationSkipTag)
      continue;
    TranslateComponent(ini, name + "." + component->GetName() + ".", component);
  }
}

} // namespace

std::string GetLanguageFile() {
  std::string file = LanguageValue();
  return !file.empty() && FileExists(file) ? file : std::string();
}

void ApplyTranslation(const std::string &LanguageFile) {
  // Without a file there are no keys, so CheckValid reads 0 and nothing changes.
  if (LanguageFile.empty() || !FileExists(LanguageFile))
    return;
  TIniFile ini(LanguageFile, kLanguageValueLength);
  if (ini.ReadInteger("Info", "CheckValid", 0) == 0)
    return;
  InitApplication();
  Application->SetTitle(ini.ReadString("Info", "Application.Title", Application->Title()));
  // A form on its way out (released, no longer named) is left alone.
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (!Screen->Forms(i)->InTeardown())
      TranslateForm(ini, Screen->Forms(i));
}

std::string LangMessage(const std::string &Key, const std::string &Default) {
  std::string file = LanguageValue();
  if (file.empty() || !FileExists(file))
    return Default;
  std::string text = TIniFile(file, kLanguageValueLength).ReadString("Messages", Key, "");
  return text.empty() ? Default : text;
}
