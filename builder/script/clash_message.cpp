// The short-name clash message, with its two lone carriage returns where the box has them.
#include "builder/script/clash_message.h"

#include "builder/script/text_case.h"

namespace velaset {

std::string ShortNameClashMessage(const std::string& listedPath, const std::string& path,
                                  const std::string& shortName) {
    return "I seguenti files:\r\n\r\n" + listedPath + "\r\n" + path + "\r\r\n" +
           "hanno lo stesso nome corto in formato\r\n" +
           "DOS 8.3, ovvero: " + AsciiUpper(shortName) + "\r\n\r\n" +
           "Per evitare possibili conflitti si consiglia di\r" +
           "spostare entrambi i files nella stessa cartella\r\n" +
           "e ricaricare tali file nella lista sottostante,\r\n" +
           "oppure rinominarne uno dei due.";
}

} // namespace velaset
