// Win32: SHA-256 by the system's cryptographic provider (CryptoAPI).
#include "platform/file_digest.h"

#include <cstdio>

#include <windows.h>
#include <wincrypt.h>

#include "platform/file_access.h"

namespace platform {

Status FileSha256(const std::string& path, std::string* hex) {
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return Status::LastSystemError(Operation::Read, path);
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    bool ok = CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES,
                                   CRYPT_VERIFYCONTEXT) &&
              CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash);
    static unsigned char block[65536];
    size_t got;
    while (ok && (got = std::fread(block, 1, sizeof block, file)) > 0)
        ok = CryptHashData(hash, block, static_cast<DWORD>(got), 0) != 0;
    const bool failed = std::ferror(file) != 0;
    const int error = failed ? LastSystemErrorCode() : 0;
    std::fclose(file);
    BYTE digest[32];
    DWORD size = sizeof digest;
    ok = ok && !failed && CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == 32;
    if (hash)
        CryptDestroyHash(hash);
    if (provider)
        CryptReleaseContext(provider, 0);
    if (failed)
        return Status::SystemError(error, Operation::Read, path);
    if (!ok)
        return Status::Failed("Impossibile calcolare lo SHA-256 di " + path + ".");
    static const char kDigits[] = "0123456789ABCDEF";
    hex->clear();
    for (DWORD i = 0; i < size; ++i) {
        *hex += kDigits[digest[i] >> 4];
        *hex += kDigits[digest[i] & 15];
    }
    return Status::Ok();
}

} // namespace platform
