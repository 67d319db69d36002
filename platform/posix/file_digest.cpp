// POSIX: SHA-256 by OpenSSL's libcrypto.
#include "platform/file_digest.h"

#include <cstdio>
#include <memory>

#include <openssl/evp.h>

#include "platform/file_access.h"

namespace platform {

Status FileSha256(const std::string& path, std::string* hex) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return Status::LastSystemError(Operation::Read, path);
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    unsigned char block[65536];
    size_t got;
    while (ok && (got = std::fread(block, 1, sizeof block, file)) > 0)
        ok = EVP_DigestUpdate(context.get(), block, got) == 1;
    const bool failed = std::ferror(file) != 0;
    const int error = failed ? LastSystemErrorCode() : 0;
    std::fclose(file);
    if (failed)
        return Status::SystemError(error, Operation::Read, path);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!ok || EVP_DigestFinal_ex(context.get(), digest, &size) != 1)
        return Status::Failed("Impossibile calcolare lo SHA-256 di " + path + ".");
    static const char kDigits[] = "0123456789ABCDEF";
    hex->clear();
    for (unsigned int i = 0; i < size; ++i) {
        *hex += kDigits[digest[i] >> 4];
        *hex += kDigits[digest[i] & 15];
    }
    return Status::Ok();
}

} // namespace platform
