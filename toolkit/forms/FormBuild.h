// Building a form in code: every component goes into the member of the same name and takes
// that name, so the names the language file and FindComponent use always match the members.
#pragma once

#define LG_NEW(member, Class, owner)                                                               \
  do {                                                                                             \
    member = new Class(owner);                                                                     \
    member->SetName(#member);                                                                      \
  } while (false)

#include <string>

#include "toolkit/forms/Forms.h"

// The common case of a form's build in one line: a control made into its member and named after
// it (as LG_NEW does), put on its parent at its place, with its caption (nullptr: none).
#define LG_PLACE(member, Class, parent, left, top, width, height, caption)                         \
  PlaceControl(member = new Class(this), #member, parent, left, top, width, height, caption)

template <class T>
T *PlaceControl(T *control, const char *name, tk::TWinControl *parent, int left, int top, int width,
                int height, const char *caption) {
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  if (caption)
    control->SetCaption(caption);
  return control;
}

// A form takes its design name, or, while another open form holds that name, the first free
// one of name_1, name_2 ... as the class library names further instances. (The language file
// speaks to the design name only.)
inline void SetFormName(tk::TCustomForm *form, const std::string &name) {
  auto taken = [form](const std::string &candidate) {
    for (int i = 0; i < tk::Screen->FormCount(); ++i) {
      tk::TCustomForm *other = tk::Screen->Forms(i);
      if (other != form && tk::SameText(other->GetName(), candidate))
        return true;
    }
    return false;
  };
  std::string unique = name;
  for (int n = 1; taken(unique); ++n)
    unique = name + "_" + std::to_string(n);
  form->SetName(unique);
}
