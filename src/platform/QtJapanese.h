#pragma once
// Qt draws some texts itself: the file dialogs' column headers, side bar, tool tips and
// context menus, the context menu of every text box, the child windows' system menu. The
// interface is Japanese whatever the locale, so these come from Qt's own Japanese catalogue.
// Where the catalogue is not installed they stay Qt's English, and nothing is said.
namespace platform {

// Call once the application object exists.
void InstallQtJapanese();

}  // namespace platform
