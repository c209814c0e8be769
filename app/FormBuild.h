// Building a form in code: every component goes into the member of the same name and takes
// that name, so the names the language file and FindComponent use always match the members.
#pragma once

#define LG_NEW(member, Class, owner)                                                               \
  do {                                                                                             \
    member = new Class(owner);                                                                     \
    member->SetName(#member);                                                                      \
  } while (false)
