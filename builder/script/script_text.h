// The text of a setup script as it is built: lines joined by CR LF, still in UTF-8.
#ifndef VELASET_BUILDER_SCRIPT_SCRIPT_TEXT_H
#define VELASET_BUILDER_SCRIPT_SCRIPT_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace velaset {

// One double-quote character, the Q of the script's line recipes.
constexpr std::string_view Q = "\"";

class ScriptText {
  public:
    // Writes `text` followed by CR LF.
    void Line(std::string_view text) {
        text_.append(text);
        text_.append("\r\n");
    }
    // An empty line: just the line end.
    void Blank() { text_.append("\r\n"); }
    const std::string& Text() const { return text_; }
    void Reserve(size_t bytes) { text_.reserve(bytes); }

  private:
    std::string text_;
};

// One project file as the script names it.
struct ScriptFile {
    std::string path;      // full source path on the building machine
    std::string fileName;  // text behind the path's last separator: the long name
    std::string shortName; // its package name (package_names.h): the name in the cabinet
    std::string entry;     // destination entry: code and optional self-registration mark
    std::uint64_t size = 0; // bytes, for the size that Apps & Features shows
};

} // namespace velaset

#endif
