// Loading a normal project: 20 programs (texts and pictures) read from the
// project file, as the GUI and every command-line verb do at start. The
// second benchmark is the part the change check adds to each load (hashing
// the file's bytes as the project's file stamp does), so one run shows its
// share.

#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/TextItem.h"

#include <QFile>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString &projectFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("normal.brivprj"));
        PlayList project;
        project.setProjectFilePath(file);
        for (int i = 0; i < 20; ++i) {
            if (i % 4 == 3) {
                auto item = std::make_unique<PictureItem>(&project);
                item->setContent(QStringLiteral("logo%1.png").arg(i));
                project.appendItem(std::move(item));
            } else {
                auto item = std::make_unique<TextItem>(&project);
                item->setContent(
                    QStringLiteral("欢迎光临本店，今日特价商品八折优惠，营业时间早九点至晚十点。%1")
                        .arg(i));
                item->setAction(1 + i % 18);
                project.appendItem(std::move(item));
            }
        }
        project.save();
        return file;
    }();
    return path;
}

void BM_LoadNormalProject(benchmark::State &state)
{
    const QString path = projectFile();
    for (auto _ : state) {
        PlayList project;
        project.setProjectFilePath(path);
        benchmark::DoNotOptimize(project.load());
    }
}
BENCHMARK(BM_LoadNormalProject)->Unit(benchmark::kMicrosecond);

void BM_HashNormalProject(benchmark::State &state)
{
    QFile file(projectFile());
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(qHashBits(bytes.constData(), size_t(bytes.size()), 0));
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_HashNormalProject)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
