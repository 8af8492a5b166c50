#pragma once
// The form reader: builds a form's components from its stored description, a value
// stream of objects, each its class name, its component name, the list of its property
// names and values, and optionally the list of the objects it holds (a parent's
// controls, a menu's items):
//
//   'TMainForm' 'MainForm' (
//     'Caption' 'Marvolt!'
//     'OnCreate' 'FormCreate'
//   ) (
//     'TPanel' 'StatusLine' (
//       'Align' 'alBottom'
//     )
//   )
//
// The classes come from the class registry, the properties are set by name in the order
// stored, events are bound to the form's handlers by name, and references to other
// components are resolved once all of them exist. Any fault raises EFormError naming the
// form, the line and what was wrong.
#include <string>

class TShellForm;

// Reads `text` into `form` (whose class must be the one the text describes).
void ReadForm(TShellForm& form, const std::string& text);
// Reads the description compiled into the program under the form's class name.
void ReadFormResource(TShellForm& form);
// The description compiled into the program for a form class ("" when there is none).
std::string FormResourceText(const std::string& className);
