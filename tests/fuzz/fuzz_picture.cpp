// Picture import: the check a picture passes when it is added, and the
// decodes a picture program makes (whole, scaled, a centred region), with
// low thresholds so the scaled and cropped paths run on small inputs.
#include "FuzzFile.h"
#include "render/PageBitmap.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char arg0[] = "fuzz_picture";
    static char *argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    const QString path = fuzzInputFile(data, size, "picture");
    (void)PageBitmap::pictureProblem(path);
    PageBitmap whole, scaled, region;
    whole.loadFromFile(path);
    scaled.loadFromFile(path, QSize(16, 8), 1024);
    QSize imageSize;
    QRect held;
    region.loadRegionFromFile(
        path, [](QSize s) { return QRect(s.width() / 4, s.height() / 4, 16, 8); }, imageSize, held,
        1024);
    return 0;
}
