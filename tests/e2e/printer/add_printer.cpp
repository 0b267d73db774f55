// Makes a printer whose jobs land in a file, for the end-to-end tests:
//   add_printer <name> <folder for the driver's data file>
// Extracts the generic PostScript description from winspool.drv into the folder, installs Wine's
// PostScript driver with it, adds the printer on port LPT1: and makes it the default. Where LPT1:'s
// jobs go is set in the registry (HKCU\Software\Wine\Printing\Spooler, value "LPT1:"). A printer
// that exists already is kept. Exit code 0 on success, else the step that failed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winspool.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 10;
    std::wstring name = argv[1];
    std::wstring ppd = std::wstring(argv[2]) + L"\\generic.ppd";

    HMODULE spool = LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = spool ? FindResourceW(spool, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    HGLOBAL loaded = found ? LoadResource(spool, found) : nullptr;
    if (!loaded) return 1;
    HANDLE file = CreateFileW(ppd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool saved = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, LockResource(loaded), SizeofResource(spool, found), &written, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!saved) return 2;

    std::wstring driver = name + L" Driver";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = driver.data();
    info.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    info.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    info.pDataFile = ppd.data();
    info.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
        return 3;

    PRINTER_INFO_2W printer{};
    printer.pPrinterName = name.data();
    printer.pPortName = const_cast<wchar_t*>(L"LPT1:");
    printer.pDriverName = driver.data();
    printer.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    printer.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (added) {
        ClosePrinter(added);
    } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        return 4;
    }
    return SetDefaultPrinterW(name.c_str()) ? 0 : 5;
}
