#!/usr/bin/env python3
"""Writes the seed corpora of the bmp, tga and registry fuzz targets: small
hand-made valid files and the edge cases the loaders must refuse or cut.
The corpus files with hash names were kept from fuzzing runs (each adds coverage
edges) and are not made here."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FUZZ = os.path.dirname(HERE)


def tga(image_type, width, height, depth, descriptor=0, body=b"", id_length=0,
        color_map_type=0, color_map_length=0, color_map_entry=0):
    header = struct.pack("<BBBHHBHHHHBB", id_length, color_map_type, image_type, 0,
                         color_map_length, color_map_entry, 0, 0, width, height, depth, descriptor)
    return header + body


def bmp(width, height, rows, bits=24, compression=0, offset=54):
    pixels = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels),
                       2835, 2835, 0, 0)
    gap = b"\xcc" * (offset - 54)
    return header + info + gap + pixels


def bmp_row(pixel_bytes):
    return pixel_bytes + b"\xee" * (-len(pixel_bytes) % 4)


FOUR = bytes(range(1, 13))

TGA_SEEDS = {
    "raw24_bottom.tga": tga(2, 2, 2, 24, 0, FOUR),
    "raw24_top.tga": tga(2, 2, 2, 24, 0x20, FOUR),
    "raw32.tga": tga(2, 3, 1, 32, 0x08, bytes(range(10, 22))),
    "id_field.tga": tga(2, 1, 1, 24, 0, b"\xaa" * 5 + b"\x01\x02\x03", id_length=5),
    "color_map_bytes.tga": tga(2, 2, 1, 24, 0, bytes(range(9)), color_map_type=1,
                               color_map_length=1, color_map_entry=24),
    "rle_run_rows.tga": tga(10, 3, 2, 24, 0, b"\x85\x10\x20\x30"),
    "rle_cross_top.tga": tga(10, 2, 3, 24, 0x20, b"\x02\x01\x01\x01\x02\x02\x02\x03\x03\x03\x82\x09\x08\x07"),
    "rle_limits.tga": tga(10, 16, 17, 24, 0,
                          b"\x7f" + bytes(range(128)) * 3 + b"\xff\x00\xab\x00" + b"\x00\x00\x00\xcd"
                          + b"\x8e\xef\x00\x00"),
    "rle32.tga": tga(10, 2, 1, 32, 0, b"\x81\x01\x02\x03\x04"),
    "rle_past_end.tga": tga(10, 2, 2, 24, 0, b"\xff\x05\x06\x07"),
    "rle_truncated.tga": tga(10, 4, 1, 24, 0, b"\x81\x01\x02\x03\x00"),
    "raw_truncated.tga": tga(2, 2, 2, 24, 0, FOUR[:-1]),
    "depth8_mapped.tga": tga(1, 1, 1, 8, 0, b"\x00"),
    "type3_grey.tga": tga(3, 1, 1, 24, 0, b"\x01\x02\x03"),
    "huge_header.tga": tga(10, 65535, 65535, 32, 0, b"\xff\x01\x02\x03\x04"),
    "zero_size.tga": tga(2, 0, 7, 24),
    "short_header.tga": tga(2, 1, 1, 24)[:11],
}

BMP_SEEDS = {
    "padded_2x2.bmp": bmp(2, 2, [bmp_row(bytes(range(1, 7))), bmp_row(bytes(range(7, 13)))]),
    "unpadded_4x1.bmp": bmp(4, 1, [bytes([0x10, 0x20, 0x30]) + bytes(range(1, 10))]),
    "top_down.bmp": bmp(2, -2, [bmp_row(bytes(range(1, 7))), bmp_row(bytes(range(7, 13)))]),
    "top_down_unpadded.bmp": bmp(4, -2, [bytes(range(12)), bytes(range(12, 24))]),
    "offset_gap.bmp": bmp(1, 1, [bmp_row(b"\x10\x20\x30")], offset=54 + 64),
    "last_row_unpadded.bmp": bmp(1, 2, [bmp_row(b"\x01\x02\x03"), b"\x04\x05\x06"]),
    "zero_width.bmp": bmp(0, 5, []),
    "truncated.bmp": bmp(2, 2, [bmp_row(bytes(range(1, 7)))]),
    "rle8_header.bmp": bmp(1, 1, [b"\x00" * 4], compression=1),
    "bits8.bmp": bmp(1, 1, [b"\x00" * 4], bits=8),
    "negative_width.bmp": bmp(-2, 1, [b"\x00" * 8]),
    "huge_header.bmp": bmp(30000, 30000, [b"\x01" * 12]),
    "not_bm.bmp": b"MB" + bmp(1, 1, [bmp_row(b"\x01\x02\x03")])[2:],
}


def write(folder, seeds):
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def main():
    write(os.path.join(FUZZ, "tga", "corpus"), TGA_SEEDS)
    write(os.path.join(FUZZ, "bmp", "corpus"), BMP_SEEDS)
    # Registry inputs: name choice byte, length byte, then the file (see fuzz_registry.cpp).
    registry = {}
    picks = [(0, "raw24_bottom.tga", TGA_SEEDS), (1, "rle_run_rows.tga", TGA_SEEDS),
             (3, "padded_2x2.bmp", BMP_SEEDS), (5, "top_down.bmp", BMP_SEEDS),
             (6, "raw24_bottom.tga", TGA_SEEDS), (8, "padded_2x2.bmp", BMP_SEEDS),
             (12, "raw24_bottom.tga", TGA_SEEDS), (13, "rle32.tga", TGA_SEEDS),
             (2 * 16 + 1, "raw24_bottom.tga", TGA_SEEDS), (2 * 16, "padded_2x2.bmp", BMP_SEEDS)]
    for choice, name, seeds in picks:
        registry["name%02x_%s" % (choice, name)] = bytes([choice, 27]) + seeds[name]
    write(os.path.join(FUZZ, "registry", "corpus"), registry)


if __name__ == "__main__":
    main()
