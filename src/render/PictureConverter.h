#pragma once
// Turns the image file of a picture program into its one page: the image
// is centred at its natural size or stretched over the page, optionally
// inverted, and thresholded pixel by pixel to the LED colours (a single-red
// screen by brightness, a red-green screen by channel). Plain parameters in,
// a page out; PictureItem::buildPages fills the parameters from the item.

#include "render/PageBitmap.h"

#include <QString>

struct PictureRenderParams {
    QString path;       // image file
    int mode = 0;       // 0 centre, 1 stretch, anything else: no image
    int reverse = 0;    // non-zero inverts every channel first
    int limit = 100;    // a channel or brightness must exceed it to light
    int colourType = 1; // 1 single red, anything else red-green
    int width = 0;      // content width of the page
    int height = 0;     // screen height of the page
    // Pictures whose whole raster would take more are read scaled or only
    // in the part the page shows (tests lower it).
    qint64 wholeReadBytes = PageBitmap::kScaleWhileReadingBytes;
};

class PictureConverter {
public:
    // Makes `page` a black width x height page and converts the image onto
    // it. False when the image could not be loaded (the page then stays
    // black, unthresholded) or the size is not positive (page left empty).
    static bool convert(const PictureRenderParams &params, PageBitmap &page);

    // Centred placement: the page position of the image's top-left pixel,
    // and the rectangle of the image the page shows (empty when none).
    static QPoint centredOrigin(QSize image, QSize page);
    static QRect centredSource(QSize image, QSize page);

    // The page colour (0x00BBGGRR) of one source pixel.
    static uint32_t thresholdPixel(int r, int g, int b, int limit, bool reverse, int colourType);

    // Thresholds every pixel of the page in place.
    static void threshold(PageBitmap &page, int limit, bool reverse, int colourType);

    // Resamples the whole of `src` onto the whole of `dst` (both
    // Format_RGB32): every destination pixel is the average of the source
    // area it covers, weighted by how much of each source pixel it covers.
    static void stretchAveraged(const QImage &src, QImage &dst);
};
