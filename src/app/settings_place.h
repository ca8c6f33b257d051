#pragma once

// Which settings file is in force when the command line names none:
// quorprn.ini beside the program, as always; but an installed program sits
// in a folder its user cannot write, so there, unless a quorprn.ini already
// lies beside it, the user's own file under the XDG configuration folder
// takes its place (and the settings dialog can save it).

#include <string>

namespace quor {

inline constexpr char kSettingsFileName[] = "quorprn.ini";

struct SettingsPlaceFacts {
    std::string programFolder;  // ends with "/"
    bool iniBesideProgram = false;
    bool programFolderWritable = false;
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, may be empty
    std::string home;           // $HOME, may be empty
};

// The decision alone: the settings file's full path.
std::string settingsFileFor(const SettingsPlaceFacts& facts);

// The decision for this program and user. When it falls back to the user's
// folder, that folder is made (so that a dialog can save into it).
std::string defaultSettingsFile();

}  // namespace quor
