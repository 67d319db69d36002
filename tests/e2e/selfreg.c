/* A self-registering library for the end-to-end tests, packed as Comp.ocx:
 * registering writes HKLM\Software\VelasetTest "Comp", unregistering removes it. */
#include <windows.h>

#define TEST_KEY "Software\\VelasetTest"

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
    HKEY key;
    static const char kValue[] = "registrato";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL))
        return E_FAIL;
    RegSetValueExA(key, "Comp", 0, REG_SZ, (const BYTE*)kValue, sizeof kValue);
    RegCloseKey(key);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Comp");
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, TEST_KEY);
    return S_OK;
}
