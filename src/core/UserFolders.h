#pragma once
// The user's own folders for the program, by the XDG base directory rules: settings in the
// configuration folder, files the program keeps for itself (the recovery file) in the data folder.
// Every folder returned ends in "/"; "" means no folder can be named (no home folder at all).

#include <string>
#include <string_view>

// $XDG_CONFIG_HOME/marisole/, or ~/.config/marisole/ when that variable is unset, empty or relative.
std::string ConfigFolder();
// $XDG_DATA_HOME/marisole/, or ~/.local/share/marisole/ likewise.
std::string DataFolder();

// The rule under both: `xdgValue` when it is an absolute path, else `home` + `homeRelative`; then
// "marisole/". "" when neither gives an absolute folder.
std::string XdgUserFolder(std::string_view xdgValue, std::string_view home, std::string_view homeRelative);

// Makes the folder and any missing parents (the new ones readable by the user only). True when it
// exists as a folder afterwards.
bool MakeUserFolder(const std::string& folder);
