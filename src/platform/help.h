#pragma once

// Help: the program's help file opened in the desktop's default viewer.

#include <QString>
#include <functional>

namespace quor {

// The name of the help file beside the program.
inline constexpr char kHelpFileName[] = "quorprn.hlp";

// The engine's user help, beside the program; its windows put it in place
// of the application's help file while they are active.
inline constexpr char kUserHelpFileName[] = "quorview.hlp";

// A help file of the program: beside the program as always, or, for an
// installed program, in its data folder (<prefix>/share/quorprn/) when it
// is not beside it. A file found in neither place is named beside the
// program, so that the message about it names the usual place.
QString programHelpFile(const char* fileName);

// The help file that the help commands of the active window open. The main
// window sets the program's; empty until then.
QString applicationHelpFile();
void setApplicationHelpFile(const QString& helpFile);

// Opens the contents of the help file. An empty name, a missing file or a
// viewer that cannot be started is reported in a message box.
void showHelpContents(const QString& helpFile);

// Who opens an existing help file: the desktop's viewer by default; tests
// install a recorder. Returns the one it replaced; an empty one restores the
// default.
using HelpViewer = std::function<bool(const QString& helpFile)>;
HelpViewer setHelpViewer(HelpViewer viewer);

}  // namespace quor
