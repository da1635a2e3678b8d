#pragma once

// The texts of the program's message boxes, shared by the windows and the
// command-line converter.
namespace rastrel::messages {

inline constexpr char kCantOpenFile[] = "Can't Open the file!!";
inline constexpr char kIllegalFileFormat[] = "Illegal file format!!";
inline constexpr char kCantOpenGraFile[] = "Can't open the GRA file!!";
inline constexpr char kCantOpenScriptFile[] = "Can't open the Script file!!";
inline constexpr char kWriteError[] = "Write error!!";
inline constexpr char kLineBreakInGraPath[] = "The GRA file name contains a line break!!";

}  // namespace rastrel::messages
