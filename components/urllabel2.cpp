#include "components/urllabel2.h"

TURLLabel2::TURLLabel2(tk::TComponent *owner)
    : TLinkLabel(owner, "URLHAND2", true, tk::clWhite, tk::clWhite) {
  Font().SetStyle(RestStyle());
}
