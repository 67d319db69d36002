// Texts of the cabinet writer's error codes.
#include "compress/error_text.h"

namespace velaset::compress {

const char* CabErrorText(int code) {
    switch (code) {
    case 0:
        return "No error";
    case 1:
        return "Failure opening file to be stored in cabinet";
    case 2:
        return "Failure reading file to be stored in cabinet";
    case 3:
        return "Insufficient memory in FCI";
    case 4:
        return "Could not create a temporary file";
    case 5:
        return "Unknown compression type";
    case 6:
        return "Could not create cabinet file";
    case 7:
        return "Client requested abort";
    case 8:
        return "Failure compressing data";
    case 9:
        return "Cabinet format limit exceeded";
    default:
        return "Unknown error";
    }
}

} // namespace velaset::compress
