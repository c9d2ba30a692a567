// Rendering costs: rebuilding every page of a 100-program play list (text
// and picture programs mixed) on a small and on the largest screen, the
// re-render after one keystroke in a 256-character text, and a 12-megapixel
// JPEG stretched onto a 2048 x 128 page.

#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/TextItem.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

// Pictures the play list refers to, written once per run.
class PictureFiles {
public:
    static PictureFiles &instance()
    {
        static PictureFiles files;
        return files;
    }

    const QStringList &paths() const { return m_paths; }
    const QString &largeJpeg() const { return m_largeJpeg; }

private:
    PictureFiles()
    {
        // Pictures made for a sign, a few photos, one with transparency.
        m_paths << write(QStringLiteral("logo.png"), 64, 32, "png", true)
                << write(QStringLiteral("banner.bmp"), 256, 32, "bmp", false)
                << write(QStringLiteral("wide.png"), 512, 64, "png", false)
                << write(QStringLiteral("photo.jpg"), 640, 480, "jpeg", false)
                << write(QStringLiteral("icon.ico"), 32, 32, "ico", true);
        m_largeJpeg = write(QStringLiteral("large.jpg"), 4000, 3000, "jpeg", false);
    }

    QString write(const QString &name, int w, int h, const char *format, bool alpha)
    {
        QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        std::mt19937 rng(uint32_t(w * 131 + h));
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(20, 40, 80, alpha ? 128 : 255));
        for (int i = 0; i < 40; ++i) {
            painter.setBrush(QColor(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
            painter.drawEllipse(int(rng() % uint32_t(w)), int(rng() % uint32_t(h)), w / 4 + 1,
                                h / 4 + 1);
        }
        painter.end();
        const QString path = m_dir.filePath(name);
        QImageWriter(path, format).write(image);
        return path;
    }

    QTemporaryDir m_dir;
    QStringList m_paths;
    QString m_largeJpeg;
};

QString sampleText(std::mt19937 &rng, int length)
{
    static const QString pool =
        QStringLiteral("欢迎光临本店今日特价商品八折优惠营业时间早九点至晚十点请勿吸烟注意安全"
                       "Welcome OPEN 24H 0123456789 ，。！");
    QString text;
    for (int i = 0; i < length; ++i) {
        if (i > 0 && rng() % 23 == 0)
            text += QStringLiteral("\r\n");
        text += pool[int(rng() % uint32_t(pool.size()))];
    }
    return text;
}

void fillPlayList(PlayList &project)
{
    std::mt19937 rng(7);
    const int sizes[] = {12, 16, 20, 24, 32, 48};
    const int actions[] = {13, 1, 4, 2, 13, 7, 1, 13};
    const QStringList &pictures = PictureFiles::instance().paths();
    for (int i = 0; i < 100; ++i) {
        if (i % 10 < 7) {
            auto item = std::make_unique<TextItem>(&project);
            item->setContent(sampleText(rng, 5 + int(rng() % 60)));
            item->setSize(sizes[rng() % std::size(sizes)]);
            item->setStyle(int(rng() % 4));
            item->setColor(1 + int(rng() % 3));
            item->setAction(actions[rng() % std::size(actions)]);
            item->setDelay(rng() % 3 == 0 ? 3 : 0);
            project.appendItem(std::move(item));
        } else {
            auto item = std::make_unique<PictureItem>(&project);
            item->setContent(pictures[int(rng() % uint32_t(pictures.size()))]);
            item->setMode(int(rng() % 2));
            item->setReverse(rng() % 4 == 0 ? 1 : 0);
            project.appendItem(std::move(item));
        }
    }
}

void setScreen(PlayList &project, int width, int height)
{
    project.screenParams().setWidthCode(width == 2048 ? 0 : width / 8);
    project.screenParams().setHeightCode(height / 8);
}

void BM_RebuildAllPages(benchmark::State &state)
{
    PlayList project;
    setScreen(project, int(state.range(0)), int(state.range(1)));
    fillPlayList(project);
    project.rebuildAllPages(); // warm font and glyph caches
    for (auto _ : state)
        project.rebuildAllPages();
    int pages = 0;
    for (int i = 0; i < project.itemCount(); ++i)
        pages += project.itemAt(i)->pageCount();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_RebuildAllPages)->Args({256, 32})->Args({2048, 128})->Unit(benchmark::kMillisecond);

void BM_KeystrokeRerender(benchmark::State &state)
{
    PlayList project;
    setScreen(project, 2048, 128);
    auto owned = std::make_unique<TextItem>(&project);
    TextItem *item = owned.get();
    project.appendItem(std::move(owned));
    std::mt19937 rng(3);
    QString text = sampleText(rng, 255).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    while (text.size() < 255)
        text += QStringLiteral("字");
    item->setAction(int(state.range(0)));
    item->setContent(text);
    item->buildPages();
    bool toggle = false;
    for (auto _ : state) {
        // The text editor rebuilds the pages after every change.
        item->setContent(text + (toggle ? QStringLiteral("A") : QStringLiteral("好")));
        toggle = !toggle;
        item->buildPages();
    }
    state.counters["pages"] = item->pageCount();
}
// Horizontal band, vertical band, fitted pages.
BENCHMARK(BM_KeystrokeRerender)->Arg(13)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LargeJpegStretched(benchmark::State &state)
{
    PlayList project;
    setScreen(project, 2048, 128);
    auto owned = std::make_unique<PictureItem>(&project);
    PictureItem *item = owned.get();
    project.appendItem(std::move(owned));
    item->setContent(PictureFiles::instance().largeJpeg());
    item->setMode(int(state.range(0)));
    for (auto _ : state)
        item->buildPages();
}
// Stretch, centre.
BENCHMARK(BM_LargeJpegStretched)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text rendering needs fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
