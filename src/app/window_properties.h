#pragma once

// What the main window tells the companion library beyond the two entry
// points' arguments: dynamic properties of the window the library is given,
// each a QByteArray of file-system bytes.

namespace quor {

// The document chosen with "Открыть" or named on the command line; absent
// while there is none. The settings dialog lays out a sample of it.
inline constexpr char kDocumentProperty[] = "quorDocument";
// The settings file in force, shown by the about box.
inline constexpr char kSettingsFileProperty[] = "quorSettingsFile";

}  // namespace quor
