// The text of one project or script field as the Windows-1252 bytes of its file.
#ifndef VELASET_BUILDER_PROJECT_FIELD_ENCODING_H
#define VELASET_BUILDER_PROJECT_FIELD_ENCODING_H

#include <string>

#include "platform/status.h"

namespace velaset {

// Converts the text of one field; a text that Windows-1252 cannot hold is refused
// with "Il campo FIELD contiene caratteri che non possono essere salvati in
// Windows-1252: " + the text, and *ansi is left as it was.
platform::Status FieldToWindows1252(const std::string& field, const std::string& utf8,
                                    std::string* ansi);

} // namespace velaset

#endif
