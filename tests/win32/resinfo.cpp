// resinfo FILE [BITMAP]: what Windows reads of a program's resources, one fact a line, for the
// Wine tests:
//   string1=T            string resource 1 (the name Screen Saver Settings lists)
//   fixed=A.B.C.D        the version resource's file version
//   KEY=VALUE            each value of its string table (FileDescription, ProductName, ...)
//   icon=W H             icon 1 as Windows loads it
//   icon_differs=N       pixels in which that icon, drawn on black, differs from BITMAP
//   manifest:            then the application manifest's text
// Exit status 1 when the file cannot be loaded.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* w, int n = -1) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, w, n, out.data(), size, nullptr, nullptr);
    if (n == -1 && !out.empty()) out.pop_back();
    return out;
}

void PrintVersion(const wchar_t* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (!size) return;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(file, 0, size, data.data())) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        std::printf("fixed=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
    }
    WORD* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 4) {
        return;
    }
    for (const wchar_t* key :
         {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
          L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        wchar_t path[128];
        swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
                 key);
        wchar_t* value = nullptr;
        if (VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length) && value) {
            std::printf("%s=%s\n", Utf8(key).c_str(), Utf8(value).c_str());
        }
    }
}

// 32-bit pixels of a picture drawn by `draw` into a W x H bitmap cleared to black.
template <typename Draw>
std::vector<DWORD> Pixels(int w, int h, Draw draw) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> out;
    if (target && bits) {
        HGDIOBJ old = SelectObject(dc, target);
        PatBlt(dc, 0, 0, w, h, BLACKNESS);
        draw(dc);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        for (int i = 0; i < w * h; ++i) out.push_back(p[i] & 0xFFFFFF);
        SelectObject(dc, old);
    }
    if (target) DeleteObject(target);
    DeleteDC(dc);
    return out;
}

void PrintIcon(HMODULE module, const wchar_t* bitmapFile) {
    HICON icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (!icon) return;
    ICONINFO info{};
    BITMAP bm{};
    if (GetIconInfo(icon, &info)) {
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    const int w = bm.bmWidth, h = bm.bmHeight;
    std::printf("icon=%d %d\n", w, h);
    if (bitmapFile && w > 0 && h > 0) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, bitmapFile, IMAGE_BITMAP, 0, 0,
                                                         LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        if (bitmap) {
            const auto drawn = Pixels(
                w, h, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL); });
            const auto want = Pixels(w, h, [&](HDC dc) {
                HDC source = CreateCompatibleDC(dc);
                HGDIOBJ old = SelectObject(source, bitmap);
                BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
                SelectObject(source, old);
                DeleteDC(source);
            });
            int differs = 0;
            for (size_t i = 0; i < drawn.size() && i < want.size(); ++i) {
                differs += drawn[i] != want[i];
            }
            std::printf("icon_differs=%d\n",
                        drawn.size() == want.size() && !drawn.empty() ? differs : w * h);
            DeleteObject(bitmap);
        }
    }
    DestroyIcon(icon);
}

void PrintManifest(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!found) return;
    HGLOBAL loaded = LoadResource(module, found);
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!text) return;
    std::printf("manifest:\n%.*s\n", static_cast<int>(SizeofResource(module, found)), text);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: resinfo FILE [BITMAP]\n");
        return 2;
    }
    HMODULE module =
        LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        std::fprintf(stderr, "resinfo: cannot load %s\n", Utf8(argv[1]).c_str());
        return 1;
    }
    wchar_t name[256] = {};
    const int n = LoadStringW(module, 1, name, 256);
    std::printf("string1=%s\n", Utf8(name, n).c_str());
    PrintVersion(argv[1]);
    PrintIcon(module, argc == 3 ? argv[2] : nullptr);
    PrintManifest(module);
    FreeLibrary(module);
    return 0;
}
