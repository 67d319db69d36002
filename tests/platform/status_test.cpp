#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/file_access.h"
#include "platform/source_path.h"
#include "platform/status.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset_test::ScratchFolder;

TEST(Status, SystemFailureCarriesOperationSubjectKindNumberAndText) {
    ScratchFolder scratch;
    const std::string folder = platform::JoinSourcePath(scratch.Path("manca"), "sotto");
    platform::Status failed = platform::MakeDirectory(folder);
    EXPECT_EQ(failed.operation, platform::Operation::Create);
    EXPECT_EQ(failed.subject, folder);
    EXPECT_EQ(failed.kind, platform::ErrorKind::NotFound);
    EXPECT_NE(failed.systemError, 0);
    EXPECT_EQ(failed.message, platform::SystemErrorText(failed.systemError));
    EXPECT_FALSE(failed.message.empty());
    const char last = failed.message.back();
    EXPECT_TRUE(last != '.' && last != '\n' && last != '\r' && last != ' ') << failed.message;
}

TEST(Status, KindsOfTheCommonSystemErrors) {
#ifdef _WIN32
    EXPECT_EQ(platform::KindOfSystemError(2), platform::ErrorKind::NotFound);     // FILE_NOT_FOUND
    EXPECT_EQ(platform::KindOfSystemError(5), platform::ErrorKind::AccessDenied); // ACCESS_DENIED
    EXPECT_EQ(platform::KindOfSystemError(112), platform::ErrorKind::DiskFull);   // DISK_FULL
#else
    EXPECT_EQ(platform::KindOfSystemError(ENOENT), platform::ErrorKind::NotFound);
    EXPECT_EQ(platform::KindOfSystemError(EACCES), platform::ErrorKind::AccessDenied);
    EXPECT_EQ(platform::KindOfSystemError(EROFS), platform::ErrorKind::AccessDenied);
    EXPECT_EQ(platform::KindOfSystemError(ENOSPC), platform::ErrorKind::DiskFull);
    EXPECT_EQ(platform::KindOfSystemError(EINVAL), platform::ErrorKind::Other);
#endif
    EXPECT_EQ(platform::KindOfSystemError(0), platform::ErrorKind::None);
}

// The C library's own texts follow the locale, and Wine's system texts are English:
// whatever the language of the system, the common errors read in Italian.
TEST(Status, TextsOfTheCommonErrorsAreItalian) {
#ifdef _WIN32
    const int codes[] = {2, 3, 5, 32, 39, 53, 80, 112, 123, 145, 183, 206, 267};
#else
    EXPECT_EQ(platform::SystemErrorText(ENOENT), "File o directory non esistente");
    EXPECT_EQ(platform::SystemErrorText(EACCES), "Permesso negato");
    EXPECT_EQ(platform::SystemErrorText(ENOSPC), "Spazio esaurito sul dispositivo");
    EXPECT_EQ(platform::SystemErrorText(EROFS), "File system in sola lettura");
    const int codes[] = {EPERM,  ENOENT,       EIO,       EACCES, EEXIST, ENOTDIR,
                         EISDIR, EINVAL,       EMFILE,    ENOSPC, EROFS,  ENAMETOOLONG,
                         ENOTEMPTY, ELOOP,     EDQUOT,    EBUSY,  EXDEV,  ETXTBSY};
#endif
    for (int code : codes) {
        const std::string text = platform::SystemErrorText(code);
        EXPECT_EQ(text.find("errore di sistema"), std::string::npos) << text;
        for (const char* english :
             {"No such", "Permission", "denied", "File exists", "Not a ", "Is a ", "Invalid",
              "Too many", "No space", "Read-only", "too long", "not empty", "busy", "Operation",
              "quota", "The ", "cannot", "is full", "exists", "not ", "enough", "invalid",
              "incorrect"})
            EXPECT_EQ(text.find(english), std::string::npos) << code << ": " << text;
    }
    EXPECT_EQ(platform::SystemErrorText(987654), "errore di sistema 987654");
}

} // namespace
