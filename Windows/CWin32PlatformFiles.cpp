// The data files beside the executable, read with the system's own calls; plain BMP pictures with
// the system's own reader.
#include "Windows/CWin32Platform.h"

#include "Host/DataFolder.h"

#include <optional>
#include <utility>
#include <vector>

// ---- Data files and pictures ----

namespace
{
// A device-independent bitmap as the system's reader made it: rows as stored in the file.
class CWin32Bitmap final : public IBitmap
{
public:
    CWin32Bitmap(HBITMAP bitmap, const BITMAP& info, bool topDown) : Bitmap(bitmap)
    {
        Rows.Width = info.bmWidth;
        Rows.Height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        Rows.BitsPerPixel = info.bmBitsPixel;
        Rows.Stride = info.bmWidthBytes;
        Rows.Rows = static_cast<const std::uint8_t*>(info.bmBits);
        Rows.TopDown = topDown;
    }
    CWin32Bitmap(const CWin32Bitmap&) = delete;
    CWin32Bitmap& operator=(const CWin32Bitmap&) = delete;
    ~CWin32Bitmap() override { DeleteObject(Bitmap); }

    const SBitmapRows& GetRows() const override { return Rows; }

private:
    HBITMAP Bitmap;
    SBitmapRows Rows;
};
} // namespace

std::filesystem::path DataFolder()
{
    // The executable's path, asked again with more room while it may have been cut short.
    DWORD capacity = MAX_PATH;
    std::vector<wchar_t> buffer(capacity + 1);
    while (GetModuleFileNameW(nullptr, buffer.data(), capacity + 1) >= capacity)
    {
        capacity *= 2;
        buffer.assign(capacity + 1, L'\0');
    }
    PathRemoveFileSpecW(buffer.data());
    return std::wstring(buffer.data()) + L"\\Data";
}

std::wstring CWin32Platform::GetDataPath(std::string_view name)
{
    return DataFolder().native() + L"\\" + Widen(name);
}

std::unique_ptr<IBitmap> CWin32Platform::ReadBitmap(std::string_view name)
{
    const std::wstring path = GetDataPath(name);
    // The headers are checked against the file before the system's reader trusts them.
    std::vector<std::uint8_t> file;
    if (ReadDataFile(name, file, 0) != EFileRead::Ok)
        return nullptr;
    const std::optional<SBmpHeader> header = CheckBmpFile(file);
    if (!header)
        return nullptr;
    // The system's reader gives top-down files back empty under Wine, fails on headers of unusual
    // sizes and moves the channels of bit fields itself: the engine reads those files as it does on
    // every system, and refuses other depths.
    if (header->TopDown || !IsPlainBmp(*header))
        return ReadBmpFile(std::move(file), *header);
    file = {};
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        return nullptr;
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) == sizeof section)
        return std::make_unique<CWin32Bitmap>(bitmap, section.dsBm, section.dsBmih.biHeight < 0);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return std::make_unique<CWin32Bitmap>(bitmap, info, false);
}

EFileRead CWin32Platform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                       std::size_t extraZeroBytes)
{
    const HANDLE file = CreateFileW(GetDataPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return EFileRead::NotFound;
    // Preset, since the call's own result is not looked at.
    LARGE_INTEGER size{};
    size.QuadPart = 0;
    GetFileSizeEx(file, &size);
    const auto length = static_cast<std::uint64_t>(size.QuadPart);
    if (length >> 32 != 0)
    {
        CloseHandle(file);
        return EFileRead::TooLarge;
    }
    bytes.assign(static_cast<std::size_t>(length) + extraZeroBytes, 0);
    // One read for the whole size; an empty file still gets somewhere to read into.
    std::uint8_t nothing = 0;
    DWORD count = 0;
    const BOOL read = ReadFile(file, bytes.empty() ? &nothing : bytes.data(), static_cast<DWORD>(length), &count, nullptr);
    CloseHandle(file);
    return read ? EFileRead::Ok : EFileRead::ReadFailed;
}

bool CWin32Platform::CancelThreadIo(void* thread)
{
    if (CancelSynchronousIoProc == nullptr)
        return false;
    return CancelSynchronousIoProc(static_cast<HANDLE>(thread)) != FALSE;
}

