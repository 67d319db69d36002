#include "builder/project/failure_text.h"

namespace velaset {

namespace {

std::string Sentence(const char* start, const platform::Status& failure) {
    std::string text = start + failure.subject;
    if (!failure.message.empty())
        text += ", " + failure.message;
    return text;
}

} // namespace

std::string FailureText(const platform::Status& failure) {
    switch (failure.operation) {
    case platform::Operation::Read:
        return Sentence("Impossibile leggere ", failure);
    case platform::Operation::Create:
        return Sentence("Impossibile creare ", failure);
    case platform::Operation::Append:
        return Sentence("Impossibile accodare ", failure);
    case platform::Operation::Delete:
        return Sentence("Impossibile eliminare ", failure);
    case platform::Operation::Start:
        if (failure.kind == platform::ErrorKind::Abnormal)
            return "Il programma " + failure.subject + " è terminato in modo anomalo" +
                   (failure.message.empty() ? "" : " (" + failure.message + ")");
        return Sentence("Impossibile avviare ", failure);
    case platform::Operation::None:
        break;
    }
    return failure.message;
}

} // namespace velaset
