#include "dlg_template.h"

namespace {

DWORD AlignDword(DWORD at)
{
    return (at + 3) & ~3u;
}

// A field that is either empty (0x0000), an ordinal (0xFFFF, value) or a
// NUL-terminated UTF-16 string.
bool ReadSzOrOrd(const ResBytes &res, DWORD &at, std::string &text, unsigned &ordinal)
{
    ordinal = 0;
    text.clear();
    if (at + 2 > res.size)
        return false;
    unsigned first = res.U16(at);
    if (first == 0xFFFF) {
        if (at + 4 > res.size)
            return false;
        ordinal = res.U16(at + 2);
        at += 4;
        return true;
    }
    return ReadWideString(res, at, text, at);
}

const char *PredefinedClass(unsigned ordinal)
{
    switch (ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "?";
    }
}

} // namespace

bool ParseDlgTemplate(const ResBytes &res, DlgTemplate &out, std::string &error)
{
    out = DlgTemplate();
    if (res.size < 18) {
        error = "too short for a DLGTEMPLATE";
        return false;
    }
    if (res.U16(0) == 1 && res.U16(2) == 0xFFFF) {
        error = "extended template (DLGTEMPLATEEX)";
        return false;
    }
    out.style = res.U32(0);
    out.exStyle = res.U32(4);
    unsigned count = res.U16(8);
    out.x = res.S16(10);
    out.y = res.S16(12);
    out.cx = res.S16(14);
    out.cy = res.S16(16);
    DWORD at = 18;
    unsigned ordinal;
    if (!ReadSzOrOrd(res, at, out.menu, ordinal) || !ReadSzOrOrd(res, at, out.className, ordinal) ||
        !ReadWideString(res, at, out.caption, at)) {
        error = "menu, class or caption runs past the end";
        return false;
    }
    if (out.style & DS_SETFONT) {
        if (at + 2 > res.size) {
            error = "font size missing";
            return false;
        }
        out.pointSize = res.U16(at);
        if (!ReadWideString(res, at + 2, out.faceName, at)) {
            error = "font name runs past the end";
            return false;
        }
    }
    for (unsigned i = 0; i < count; ++i) {
        at = AlignDword(at);
        if (at + 18 > res.size) {
            error = "item " + std::to_string(i) + " runs past the end";
            return false;
        }
        DlgItem item;
        item.style = res.U32(at);
        item.exStyle = res.U32(at + 4);
        item.x = res.S16(at + 8);
        item.y = res.S16(at + 10);
        item.cx = res.S16(at + 12);
        item.cy = res.S16(at + 14);
        item.id = res.U16(at + 16);
        at += 18;
        if (!ReadSzOrOrd(res, at, item.className, ordinal)) {
            error = "class of item " + std::to_string(i) + " runs past the end";
            return false;
        }
        if (ordinal)
            item.className = PredefinedClass(ordinal);
        unsigned textOrdinal;
        if (!ReadSzOrOrd(res, at, item.text, textOrdinal) || at + 2 > res.size) {
            error = "text of item " + std::to_string(i) + " runs past the end";
            return false;
        }
        item.extraBytes = res.U16(at);
        at += 2 + item.extraBytes;
        if (at > res.size) {
            error = "creation data of item " + std::to_string(i) + " runs past the end";
            return false;
        }
        out.items.push_back(item);
    }
    return true;
}
