/* DemoReg.dll: a tiny self-registering library for the example package.
 * Registering writes HKEY_CURRENT_USER\Software\Velaset Demo, value "Registrata" = "1";
 * unregistering removes that value and the key, so an installation and an uninstall
 * can both be seen in the registry. */
#include <windows.h>

static const char kKey[] = "Software\\Velaset Demo";
static const char kValue[] = "Registrata";

HRESULT __stdcall DllRegisterServer(void) {
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                                  NULL);
    if (result != ERROR_SUCCESS)
        return E_FAIL;
    result = RegSetValueExA(key, kValue, 0, REG_SZ, (const BYTE*)"1", 2);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? S_OK : E_FAIL;
}

HRESULT __stdcall DllUnregisterServer(void) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kValue);
        RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
