// The desktop's message box without GTK: SDL's own box, or standard error
// where no display can show one.
#pragma once
#include <string>

void ShowPlainMessageBox(const std::string& title, const std::string& text);
