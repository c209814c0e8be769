// The volume questions over Win32.
#include "archive/Volume.h"
#include "toolkit/forms/Forms.h"
#include "toolkit/win32/Seams.h"

#include <windows.h>

namespace arc {

namespace {
std::string SystemWording(DWORD code) {
  char *text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
  std::string wording = n && text ? std::string(text, n) : std::string();
  if (text)
    LocalFree(text);
  return wording;
}

// The register block of the Windows 9x VWIN32 device's BIOS disk services.
struct TDiocRegisters {
  DWORD Ebx, Edx, Ecx, Eax, Edi, Esi, Flags;
};
static_assert(sizeof(TDiocRegisters) == 28);
constexpr DWORD VwinDiocDosInt13 = 4;
} // namespace

bool VolumeQuery(const std::string &root, TVolumeFacts &facts, std::string &error) {
  char label[256] = {}, fileSystem[256] = {};
  DWORD serial = 0, maxLength = 0, flags = 0;
  if (!GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, &maxLength, &flags,
                             fileSystem, sizeof fileSystem)) {
    error = SystemWording(GetLastError());
    return false;
  }
  facts.Label = label;
  facts.SerialNumber = serial;
  facts.MaxComponentLength = maxLength;
  facts.FileSystemFlags = flags;
  facts.FileSystemName = fileSystem;
  return true;
}

uint8_t VolumeDriveType(const std::string &root) {
  return static_cast<uint8_t>(GetDriveTypeA(root.c_str()));
}

bool VolumeSpace(const std::string &root, int64_t &freeSpace, int64_t &size) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree))
    return false;
  freeSpace = static_cast<int64_t>(available.QuadPart);
  size = static_cast<int64_t>(total.QuadPart);
  return true;
}

uint8_t VolumeFloppyKind(char letter) {
  HANDLE device =
      CreateFileA("\\\\.\\VWIN32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (device == INVALID_HANDLE_VALUE)
    return 0;
  TDiocRegisters registers = {};
  registers.Eax = 0x0800;                                    // read drive parameters
  registers.Edx = static_cast<DWORD>((letter | 0x20) - 'a'); // A: is drive 0
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(device, VwinDiocDosInt13, &registers, sizeof registers, &registers,
                            sizeof registers, &returned, nullptr);
  CloseHandle(device);
  if (!ok || (registers.Flags & 1))
    return 0;
  return (registers.Ebx & 0xFF) < 3 ? 8 : 7;
}

TTempProbe VolumeTempFile(const std::string &folder, const std::string &prefix, std::string &name) {
  char buffer[MAX_PATH + 1] = {};
  if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer) == 0)
    return GetLastError() == ERROR_WRITE_PROTECT ? TTempProbe::WriteProtected : TTempProbe::Failed;
  name = buffer;
  return TTempProbe::Created;
}

bool VolumeRetryBox(const std::string &text) {
  std::string title = tk::Application ? tk::Application->Title() : std::string();
  return tk::GetPrompts().MessageBox(GetActiveWindow(), text, title,
                                     MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
}

} // namespace arc
