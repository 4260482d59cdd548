#include "res_bytes.h"

#include "app/globals.h"

bool LoadResBytes(LPCSTR name, LPCSTR type, ResBytes &out)
{
    out = ResBytes();
    HRSRC info = FindResourceA(ghInst, name, type);
    if (!info)
        return false;
    HGLOBAL handle = LoadResource(ghInst, info);
    if (!handle)
        return false;
    out.data = static_cast<const unsigned char *>(LockResource(handle));
    out.size = SizeofResource(ghInst, info);
    return out.data != nullptr;
}

bool ReadWideString(const ResBytes &res, DWORD at, std::string &text, DWORD &next)
{
    text.clear();
    for (DWORD p = at; p + 2 <= res.size; p += 2) {
        unsigned c = res.U16(p);
        if (c == 0) {
            next = p + 2;
            return true;
        }
        text += c < 128 ? (char)c : '?';
    }
    return false;
}
