#pragma once

#include <string>

namespace kelvarin {

enum class MsgIcon { None, Information, Exclamation, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// The application title: the title of a message box that is given none of its own.
inline constexpr const char* kAppTitle = "Kelvarin";

// The literal title most of the window's boxes carry.
inline constexpr const char* kWindowTitle = "Kelvarin_Ver.3";

// A line break inside a message text.
inline constexpr const char* kCrLf = "\r\n";

// Every message box of the program goes through this, so tests can read and answer them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // Shows a modal box and returns the button the user chose. An empty title means the
    // application title.
    virtual MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons,
                           const std::string& title) = 0;
};

} // namespace kelvarin
