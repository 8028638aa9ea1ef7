#pragma once

// The logic of the group rows of the main window: their places and tags, the opening of the
// schedule editor from a time box, the machine-list panel and its "Save", the group comment.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/platform.h"

namespace vt::power {

inline constexpr const char* kOtherGroupHint =
    "Liste tous les ordinateurs qui n'ont pas pu être automatiquement affectés à un groupe";
// Colour of the "Autres" button.
inline constexpr int kOtherGroupRed = 255;
inline constexpr int kOtherGroupGreen = 191;
inline constexpr int kOtherGroupBlue = 53;
inline constexpr const char* kBuildingRowMessage = "Extraction du groupe ESU : ";
inline constexpr const char* kNeverShutdownPrompt =
    "Entrer le nom de la machine à ne jamais éteindre :";
inline constexpr const char* kCommentPrompt = "Commentaire pour le groupe de machines :";

struct ControlPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The seven controls of row i, with the tags that tell the row back to the shared handlers.
struct GroupRowLayout {
    ControlPlace groupButton;
    ControlPlace shutdownBox;
    ControlPlace powerOnBox;
    ControlPlace durationBox;
    ControlPlace led;
    ControlPlace onButton;
    ControlPlace offButton;
    int groupButtonTag = 0;
    int shutdownBoxTag = 0;
    int powerOnBoxTag = 0;
    int durationBoxTag = 0;
    int ledTag = 0;
    int onButtonTag = 0;
    int offButtonTag = 0;
};
GroupRowLayout groupRowLayout(int row);

// The field and row that a time box's tag stands for: field 0 the shutdown box (tag -i, and
// -999 for row 0), 1 the power-on box (tag i), 2 the duration box (tag i + 1000). Rows from
// 999 on, where those tags would collide, have shutdown tags -(i + 1000000) and power-on tags
// i + 2000000; every group has its row, however many there are.
struct TimeBoxTarget {
    int field = 1;
    int row = 0;
};
TimeBoxTarget decodeTimeBoxTag(int tag);

// A time box was clicked: sets EditedTimeField, EditedGroupIndex and CurrentGroup. False,
// and nothing changed, when the tag names no row of GroupList.
bool selectTimeBox(VtlVar& state, int tag);

// The machine list shown in the panel for a group: its file by bare name, empty when missing.
std::vector<std::string> groupPanelLines(const platform::FileSystem& files, std::string_view group);

// The panel's lines as "Save" stores them: empty lines removed, every other line kept as typed
// with its ASCII letters upper-cased (the power commands look machines up without the blanks
// around their names).
std::vector<std::string> normaliseMachineList(const std::vector<std::string>& memoLines);

// Looks for the MAC addresses of a group's machines after its list was saved; unset, nothing
// is looked for.
using MacAddressSearch = std::function<void(const std::string& group)>;

// "Save": nothing when no group is shown. Otherwise writes the normalised lines to the shown
// group's file (bare name), runs the MAC search for the group, then cleans "Autres". Returns
// the lines written (the panel shows them), nothing when no group is shown. FileError when the
// file cannot be written or the name is no plain file name.
std::optional<std::vector<std::string>> BtnSaveClick(VtlVar& state, platform::FileSystem& files,
                                                     StatusSink& status,
                                                     const std::string& shownGroup,
                                                     const std::vector<std::string>& memoLines,
                                                     const MacAddressSearch& searchMacAddresses);

// "Ne jamais éteindre...": adds the typed name (nothing when empty) to the exclusion list and
// marks the group files. True when a name was added.
bool addNeverShutdownMachine(const VtlVar& state, platform::FileSystem& files,
                             const std::string& typedName);

// The question of "off": "Éteindre les N machines du groupe G ?", N counting the lines that
// name a machine not marked never to be shut down. FileError when the group's file cannot be
// read.
std::string shutdownQuestion(const platform::FileSystem& files, const std::string& group);

// "Commentaire" of the group whose button was right-clicked: CommentGroupIndex := its index;
// returns the comment to edit, nothing when the group is not in GroupList or is the catch-all
// group, whose button keeps its fixed explanation.
std::optional<std::string> beginCommentEdit(VtlVar& state, const std::string& group);
// The comment of CommentGroupIndex was confirmed: it becomes the tooltip of its button and is
// written into the group's record of "settings.ini" at once (SaveCommentFor). FileError when
// the file cannot be read or written; the tooltip has the comment all the same.
void endCommentEdit(VtlVar& state, platform::FileSystem& files, const std::string& comment);

}  // namespace vt::power
