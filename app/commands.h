#pragma once
// Command ids of the menu items: one list, shared with the tests.

namespace cmd {
enum : unsigned {
    MenuSave = 100,
    MenuClearMemo,
    MenuClearClipboard,
    MenuHide,
    MenuHelpTopics,
    MenuAbout,

    PopUpShowBriskjot = 200,
    PopUpFindReplace,
    PopUpPrint,
    PopUpStartWithWindows,
    PopUpShowOnStartUp,
    PopUpWarningOnClearMemo,
    PopUpWarningOnClearClipboard,
    PopUpAutoSave,
    PopUpDefaultSizePosition,
    PopUpHelp_Options,
    PopUpDonate,
    PopUpHomeSite,
    PopUpAbout,
    PopUpClearClipboard,
    PopUpExit,
};
}  // namespace cmd
