/* Prints the X server's current cursor image as XFixes reports it, for the window tests:
 * "WIDTH HEIGHT XHOT YHOT" on the first line, then one 0xAARRGGBB value per pixel (rows from
 * the top, premultiplied alpha as X keeps cursor images). Exit status 1 without a display or
 * the XFixes extension. */
#include <stdio.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

int main(void)
{
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    int event_base, error_base;
    if (!XFixesQueryExtension(display, &event_base, &error_base)) return 1;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return 1;
    printf("%d %d %d %d\n", image->width, image->height, image->xhot, image->yhot);
    for (int i = 0; i < image->width * image->height; ++i) printf("%08lx\n", image->pixels[i] & 0xFFFFFFFFul);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
