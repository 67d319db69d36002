#include "builder/project/field_encoding.h"

#include "platform/text_encoding.h"

namespace velaset {

platform::Status FieldToWindows1252(const std::string& field, const std::string& utf8,
                                    std::string* ansi) {
    if (platform::Utf8ToWindows1252(utf8, ansi))
        return platform::Status::Ok();
    return platform::Status::Failed("Il campo " + field +
                                        " contiene caratteri che non possono essere salvati "
                                        "in Windows-1252: " +
                                        utf8,
                                    platform::ErrorKind::Refused);
}

} // namespace velaset
