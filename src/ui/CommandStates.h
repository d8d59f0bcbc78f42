#pragma once

namespace velnor {

enum class CommandPlace { Menu, Toolbar, Button };

// Command identifiers shared by the window and the plain layers.
namespace command {
inline constexpr int Connect = 5000;
inline constexpr int Disconnect = 5001;
inline constexpr int Read = 5002;
inline constexpr int Write = 5003;
inline constexpr int PinSwitch = 5004;
inline constexpr int PinChange = 5005;
inline constexpr int Exit = 5006;
inline constexpr int PinUnblock = 5007;
inline constexpr int OpenFile = 5100;
inline constexpr int SaveFile = 5101;
inline constexpr int ImportContacts = 5102;
inline constexpr int ExportContacts = 5103;
inline constexpr int DocumentedPacing = 5250;
inline constexpr int JoinMessages = 5251;
inline constexpr int Help = 5300;
inline constexpr int About = 5301;
inline constexpr int Add = 1701;
inline constexpr int Insert = 1702;
inline constexpr int Edit = 1703;
inline constexpr int DeleteTicked = 1704;
inline constexpr int MoveUp = 1705;
inline constexpr int MoveDown = 1706;
inline constexpr int PinMenuButton = 32796;
inline constexpr int FileMenuButton = 32798;
} // namespace command

// Enables and disables commands in the menu, on the toolbar and on the list buttons. The window
// implements it; the plain layers only say what changed.
class CommandStates {
public:
    virtual ~CommandStates() = default;
    virtual void setCommandEnabled(int id, CommandPlace place, bool enabled) = 0;
};

} // namespace velnor
