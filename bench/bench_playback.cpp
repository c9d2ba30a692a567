// The player: one frame of a large and of a small screen in the middle of
// an entry (with a running border and a dial), and the GIF of a 20-program
// list. Targets: 2048 x 128 under 2 ms, 256 x 32 under 0.2 ms a frame; the
// GIF under 5 s.
#include "render/PlaybackExport.h"

#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

PageBitmap stripes(int w, int h, uint32_t colour, int salt)
{
    PageBitmap page;
    page.create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x + y + salt) % 7 < 3)
                page.setPixel(x, y, colour);
    return page;
}

Playback::Program program(int w, int h, int action, int salt)
{
    Playback::Program p;
    p.settings.action = action;
    p.settings.speed = 8;
    p.settings.stayTime = 2;
    p.settings.frame = 3;
    p.settings.clock = Playback::ClockZone::Dial;
    p.settings.clockZoneWidth = h;
    p.pages = {stripes(w - h, h, LedColor::Red, salt),
               stripes(w - h, h, LedColor::Green, salt + 1)};
    return p;
}

void frameOf(benchmark::State &state, int w, int h)
{
    const int action = int(state.range(0));
    const Playback::Player player({w, h, 2}, {program(w, h, action, 0)});
    const Playback::Player::PageTime t = player.pageTime(0, 1);
    const QDateTime clock = QDateTime::currentDateTime();
    PageBitmap frame;
    for (auto _ : state) {
        player.frameAt(t.start + t.entryMs / 2, clock, frame);
        benchmark::DoNotOptimize(frame.image().constBits());
    }
}

void BM_Frame2048x128(benchmark::State &state)
{
    frameOf(state, 2048, 128);
}
void BM_Frame256x32(benchmark::State &state)
{
    frameOf(state, 256, 32);
}
// Push, blinds, diamond, slanted move, mosaic, rain.
BENCHMARK(BM_Frame2048x128)
    ->Arg(13)
    ->Arg(10)
    ->Arg(14)
    ->Arg(15)
    ->Arg(17)
    ->Arg(18)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Frame256x32)
    ->Arg(13)
    ->Arg(10)
    ->Arg(14)
    ->Arg(15)
    ->Arg(17)
    ->Arg(18)
    ->Unit(benchmark::kMicrosecond);

void BM_GifOfTwentyPrograms(benchmark::State &state)
{
    std::vector<Playback::Program> programs;
    for (int i = 0; i < 20; ++i)
        programs.push_back(program(256, 32, 1 + i % 18, i));
    const Playback::Player player({256, 32, 2}, programs);
    GifWriter::Options options;
    options.scale = 3;
    options.dots = true;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const auto result =
            PlaybackExport::writeGif(player, &buffer, options, QDateTime::currentDateTime());
        state.counters["frames"] = result.frames;
        state.counters["bytes"] = double(buffer.size());
        state.counters["seconds_of_play"] = double(result.durationMs) / 1000.0;
    }
}
BENCHMARK(BM_GifOfTwentyPrograms)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
