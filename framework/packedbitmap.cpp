#include "framework/packedbitmap.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

#include "base/stream.h"
#include "base/zstreams.h"
#include "framework/application.h"

namespace fw {

namespace {

std::vector<char> UnpackResource(const char* resourceName) {
    HMODULE module = Application.Instance();
    HRSRC found = FindResourceA(module, resourceName, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    TMemoryStream packed(std::vector<char>(bytes, bytes + SizeofResource(module, found)));
    TMemoryStream plain;
    try {
        UnpackTo(packed, plain);
    } catch (const std::exception&) {
        return {};
    }
    return plain.TakeBytes();
}

}  // namespace

UniqueGdiObject LoadPackedBitmap(const char* resourceName) {
    const std::vector<char> file = UnpackResource(resourceName);
    BITMAPFILEHEADER fileHeader{};
    if (file.size() < sizeof fileHeader + sizeof(BITMAPINFOHEADER)) return {};
    std::memcpy(&fileHeader, file.data(), sizeof fileHeader);
    const std::size_t infoSize = fileHeader.bfOffBits - sizeof fileHeader;
    if (fileHeader.bfType != 0x4D42 ||
        fileHeader.bfOffBits < sizeof fileHeader + sizeof(BITMAPINFOHEADER) ||
        fileHeader.bfOffBits > file.size())
        return {};
    // The header and colour table, copied to aligned memory.
    std::vector<std::uint32_t> info((infoSize + 3) / 4);
    std::memcpy(info.data(), file.data() + sizeof fileHeader, infoSize);
    const auto* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(info.data());
    const BITMAPINFOHEADER& header = bitmapInfo->bmiHeader;
    if (header.biSize < sizeof header || header.biSize > infoSize || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biPlanes != 1 || header.biCompression != BI_RGB)
        return {};
    const WORD bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
    const std::uint64_t colors = header.biClrUsed ? header.biClrUsed : bits <= 8 ? 1u << bits : 0;
    if (header.biSize + colors * sizeof(RGBQUAD) > infoSize) return {};
    const std::uint64_t stride = (static_cast<std::uint64_t>(header.biWidth) * bits + 31) / 32 * 4;
    const std::uint64_t rows =
        header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
    const std::uint64_t pixelBytes = stride * rows;
    if (pixelBytes > file.size() - fileHeader.bfOffBits) return {};

    void* pixels = nullptr;
    UniqueGdiObject bitmap(
        CreateDIBSection(nullptr, bitmapInfo, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return {};
    std::memcpy(pixels, file.data() + fileHeader.bfOffBits, static_cast<std::size_t>(pixelBytes));
    return bitmap;
}

}  // namespace fw
