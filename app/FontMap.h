#pragma once
// Font families that the stored forms name but Linux lacks, mapped to installed families
// of the same metrics: Courier New to Liberation Mono, Arial to Liberation Sans, Times New
// Roman to Liberation Serif, and the "System" font to the desktop's default sans.
#include <string>
#include <string_view>

// The family to draw for `formName`: the name itself when that family is installed, else
// its installed replacement, else the name unchanged (the font system substitutes).
std::string InstalledFamily(std::string_view formName);
// The name a form stores for `family`: the form name that maps to it (when that one is not
// installed itself), else the family unchanged. Writing a form thus gives back what it read.
std::string FormFamily(std::string_view family);
