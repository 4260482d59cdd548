#include "bmp_file.h"

int DibStride(int width, int bits)
{
    return ((width * bits + 31) / 32) * 4;
}

void PutDibRows(ByteWriter &out, int width, int height, int bits,
                    const std::vector<uint8_t> &indices)
{
    int stride = DibStride(width, bits);
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row((size_t)stride, 0);
        for (int x = 0; x < width; ++x) {
            uint8_t v = indices[(size_t)y * width + x];
            if (bits == 8)
                row[x] = v;
            else if (x % 2 == 0)
                row[x / 2] |= (uint8_t)((v & 0x0F) << 4);
            else
                row[x / 2] |= (uint8_t)(v & 0x0F);
        }
        out.data.insert(out.data.end(), row.begin(), row.end());
    }
}

void PutDibBody(ByteWriter &out, int width, int height, int headerHeight, int bits,
                const std::vector<uint32_t> &palette, const std::vector<uint8_t> &indices)
{
    uint32_t image = (uint32_t)DibStride(width, bits) * height;
    out.U32(40);                 // biSize
    out.U32((uint32_t)width);    // biWidth
    out.U32((uint32_t)headerHeight);
    out.U16(1);                  // biPlanes
    out.U16((unsigned)bits);     // biBitCount
    out.U32(0);                  // biCompression: BI_RGB
    out.U32(image);              // biSizeImage
    out.U32(2835);               // 72 dots per inch
    out.U32(2835);
    out.U32(1u << bits);         // biClrUsed: the full table
    out.U32(0);                  // biClrImportant
    for (size_t i = 0; i < (1u << bits); ++i) {
        uint32_t c = i < palette.size() ? palette[i] : 0;
        out.U8(c & 0xFF);          // blue
        out.U8((c >> 8) & 0xFF);   // green
        out.U8((c >> 16) & 0xFF);  // red
        out.U8(0);
    }
    PutDibRows(out, width, height, bits, indices);
}

Bytes MakeBmp(int width, int height, int bits, const std::vector<uint32_t> &palette,
              const std::vector<uint8_t> &indices)
{
    ByteWriter body;
    PutDibBody(body, width, height, height, bits, palette, indices);
    uint32_t offBits = 14 + 40 + 4u * (1u << bits);
    ByteWriter file;
    file.U8('B');
    file.U8('M');
    file.U32((uint32_t)(14 + body.Size()));   // bfSize
    file.U16(0);
    file.U16(0);
    file.U32(offBits);
    file.Append(body.data);
    return file.data;
}
