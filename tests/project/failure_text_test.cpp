// The sentences that tell the user about a failed operation.
#include "builder/project/failure_text.h"

#include <gtest/gtest.h>

namespace {

platform::Status Failure(platform::Operation operation, const std::string& message,
                         platform::ErrorKind kind = platform::ErrorKind::Other) {
    return platform::Status::Failed(message, kind, operation, "C:\\Dati\\Setup.exe");
}

TEST(FailureText, EachOperationHasItsSentence) {
    using platform::Operation;
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Create, "Accesso negato")),
              "Impossibile creare C:\\Dati\\Setup.exe, Accesso negato");
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Append, "Disco pieno")),
              "Impossibile accodare C:\\Dati\\Setup.exe, Disco pieno");
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Delete, "In uso")),
              "Impossibile eliminare C:\\Dati\\Setup.exe, In uso");
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Read, "Non trovato")),
              "Impossibile leggere C:\\Dati\\Setup.exe, Non trovato");
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Start, "")),
              "Impossibile avviare C:\\Dati\\Setup.exe");
    EXPECT_EQ(velaset::FailureText(Failure(Operation::Start, "", platform::ErrorKind::Abnormal)),
              "Il programma C:\\Dati\\Setup.exe è terminato in modo anomalo");
}

TEST(FailureText, ASentenceOfItsOwnIsToldAsItIs) {
    EXPECT_EQ(velaset::FailureText(platform::Status::Failed("Il campo Titolo contiene un a capo.")),
              "Il campo Titolo contiene un a capo.");
}

} // namespace
