"""What the picture scripts share: PNG files written through pycairo.

Run the scripts with Debian's /usr/bin/python3, which has python3-cairo; another
python3 that comes first on PATH may not. Cairo writes the same bytes for the
same pixels, so running a script again reproduces its pictures exactly.
"""
import cairo


def new_surface(width, height):
    """A transparent ARGB32 surface and a context drawing on it."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    return surface, cairo.Context(surface)


def save(surface, path):
    surface.flush()
    surface.write_to_png(path)


def write_pixels(path, width, height, pixel):
    """Writes a picture whose every pixel is given by pixel(x, y) as straight
    (not premultiplied) red, green, blue and alpha, 0..255 each."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    stride = surface.get_stride()
    data = surface.get_data()
    for y in range(height):
        for x in range(width):
            r, g, b, a = pixel(x, y)
            # Cairo keeps premultiplied native-endian 32-bit words: B, G, R, A
            # in memory on little-endian machines.
            offset = y * stride + 4 * x
            data[offset:offset + 4] = bytes(
                ((b * a + 127) // 255, (g * a + 127) // 255, (r * a + 127) // 255, a))
    surface.mark_dirty()
    save(surface, path)
