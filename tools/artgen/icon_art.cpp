#include "icon_art.h"

#include "bmp_file.h"
#include "quantize.h"
#include "shape.h"

Image MakeIconPicture()
{
    const int size = 32;
    Image img(size, size);
    // Front face (3..21, 11..29), top face up to y 3, right face to x 29.
    const double x0 = 3, y0 = 11, side = 18, depth = 8;
    Shape letter;
    letter.AddStroke(Vec{7.2, 15.2}, Vec{12.0, 25.6}, 1.7);
    letter.AddStroke(Vec{12.0, 25.6}, Vec{16.8, 15.2}, 1.7);
    img.Render(0, 0, size, size, 4, [&](double x, double y, Rgb &out) {
        double u = x - x0, v = y - y0;
        if (u >= 0 && u <= side && v >= 0 && v <= side) {
            if (letter.Contains(Vec{x, y}))
                out = Rgb{255, 0, 0};
            else if (letter.Contains(Vec{x - 1, y - 1}))
                out = Rgb{128, 0, 0};
            else
                out = Rgb{192, 192, 192};
            return true;
        }
        double t = (y0 - y) / depth;   // top face
        u = x - x0 - t * depth;
        if (t >= 0 && t <= 1 && u >= 0 && u <= side) {
            out = Rgb{255, 255, 255};
            return true;
        }
        t = (x - x0 - side) / depth;   // right face
        v = y - y0 + t * depth;
        if (t >= 0 && t <= 1 && v >= 0 && v <= side) {
            out = Rgb{128, 128, 128};
            return true;
        }
        return false;
    });
    // A black outline along the silhouette and the two front edges.
    Image outlined = img;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!img.Opaque(x, y))
                continue;
            bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1 ||
                        !img.Opaque(x - 1, y) || !img.Opaque(x + 1, y) ||
                        !img.Opaque(x, y - 1) || !img.Opaque(x, y + 1);
            bool crease = (y == (int)y0 && x >= (int)x0 && x <= (int)(x0 + side)) ||
                          (x == (int)(x0 + side) && y >= (int)y0);
            if (edge || crease)
                outlined.Set(x, y, Rgb{0, 0, 0});
        }
    }
    return outlined;
}

Bytes MakeIconFile(const Image &picture)
{
    const int size = 32;
    const std::vector<uint32_t> &vga = VgaPalette();
    std::vector<uint8_t> indices;
    IndexFixed(picture, vga, -1, indices);
    for (int y = 0; y < size; ++y)   // transparent pixels are black in the colour image
        for (int x = 0; x < size; ++x)
            if (!picture.Opaque(x, y))
                indices[(size_t)y * size + x] = 0;

    ByteWriter image;
    int maskStride = DibStride(size, 1);
    uint32_t xorBytes = (uint32_t)DibStride(size, 4) * size, andBytes = (uint32_t)maskStride * size;
    image.U32(40);
    image.U32(size);
    image.U32(2 * size);   // colour image and mask, one above the other
    image.U16(1);
    image.U16(4);
    image.U32(0);
    image.U32(xorBytes + andBytes);
    image.U32(0);
    image.U32(0);
    image.U32(0);
    image.U32(0);
    for (uint32_t c : vga) {
        image.U8(c & 0xFF);
        image.U8((c >> 8) & 0xFF);
        image.U8((c >> 16) & 0xFF);
        image.U8(0);
    }
    PutDibRows(image, size, size, 4, indices);
    for (int y = size - 1; y >= 0; --y) {   // mask: 1 where transparent
        std::vector<uint8_t> row((size_t)maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (!picture.Opaque(x, y))
                row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
        image.data.insert(image.data.end(), row.begin(), row.end());
    }

    ByteWriter file;
    file.U16(0);   // reserved
    file.U16(1);   // icon
    file.U16(1);   // one image
    file.U8(size);
    file.U8(size);
    file.U8(16);   // colours
    file.U8(0);
    file.U16(1);   // planes
    file.U16(4);   // bits per pixel
    file.U32((uint32_t)image.Size());
    file.U32(22);  // the image follows this directory
    file.Append(image.data);
    return file.data;
}
