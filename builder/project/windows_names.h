// What Windows accepts as the name of a file or folder (one component of a path), as the
// installing machine will see it.
#ifndef VELASET_BUILDER_PROJECT_WINDOWS_NAMES_H
#define VELASET_BUILDER_PROJECT_WINDOWS_NAMES_H

#include <cstddef>
#include <string>

namespace velaset {

// The longest name of a file or folder, and the longest path the installer and the
// setup engine handle (MAX_PATH less its closing NUL).
constexpr std::size_t kMaxWindowsName = 255;
constexpr std::size_t kMaxWindowsPath = 259;

// Why name is no Windows name, as the end of a sentence that begins "... non può essere
// un nome di file di Windows: "; empty when it is one. Refused: an empty name, more than
// 255 characters, one of < > : " / \ | ? * or a control character (the sentence names
// it), a reserved device name in any letter case with or without an extension (CON,
// PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), a dot or a blank at its end (Windows drops them).
// name is UTF-8; a character counts once however many bytes it takes.
std::string WindowsNameFault(const std::string& name);

// How a message names character c: "la virgola", "il carattere <", ...
std::string CharacterName(char c);

// The length of a UTF-8 text in characters.
std::size_t CharacterCount(const std::string& utf8);

} // namespace velaset

#endif
