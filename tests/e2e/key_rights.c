/* Shows and sets who may do what with a registry key of HKEY_LOCAL_MACHINE
 * (console tool; the security as an SDDL text):
 *   key_rights show KEY        print the key's access list
 *   key_rights set KEY SDDL    give the key that access list
 * Exit code 0 on success, 1 otherwise. */
#include <windows.h>

#include <sddl.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    HKEY key;
    PSECURITY_DESCRIPTOR security;
    char* text;
    int show = argc == 3 && strcmp(argv[1], "show") == 0;
    int set = argc == 4 && strcmp(argv[1], "set") == 0;
    LONG opened;
    if (!show && !set) {
        fprintf(stderr, "uso: key_rights show KEY | key_rights set KEY SDDL\n");
        return 1;
    }
    opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, argv[2], 0, show ? READ_CONTROL : WRITE_DAC, &key);
    if (opened != ERROR_SUCCESS) {
        fprintf(stderr, "key_rights: cannot open %s (%ld)\n", argv[2], opened);
        return 1;
    }
    if (set) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(argv[3], SDDL_REVISION_1,
                                                                  &security, NULL) ||
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security) != ERROR_SUCCESS) {
            fprintf(stderr, "key_rights: cannot set %s\n", argv[3]);
            return 1;
        }
        LocalFree(security);
    } else {
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, NULL, &size);
        security = LocalAlloc(LPTR, size);
        if (!security ||
            RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, security, &size) != ERROR_SUCCESS ||
            !ConvertSecurityDescriptorToStringSecurityDescriptorA(
                security, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, NULL)) {
            fprintf(stderr, "key_rights: cannot read the access list of %s\n", argv[2]);
            return 1;
        }
        printf("%s\n", text);
    }
    RegCloseKey(key);
    return 0;
}
