#pragma once
// The form writer: the stored description of a form as it stands, in the layout the
// form reader reads (one property a line, nested objects indented), with each property
// written only where its class stores it; reading what it writes gives the same form.
#include <string>

class TShellForm;

std::string WriteForm(const TShellForm& form);
