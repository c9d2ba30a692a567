// The worst project files the loader's limits let through, 16 MiB each
// (XmlDocument: at most 200,000 elements, comments and the like; 64
// attributes on one element and 200,000 in all), and the shapes just past a
// limit, which must be refused quickly. Each run is the bounded load plus a
// forward walk over every element and its text, as the loader reads.

#include "model/XmlDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kFileBytes = XmlDocument::kMaxFileBytes;

QByteArray attributes(int n, qsizetype valueBytes)
{
    QByteArray tag = "<a";
    for (int i = 0; i < n; ++i)
        tag += " a" + QByteArray::number(i) + "=\"" + QByteArray(valueBytes, 'v') + "\"";
    return tag + "/>";
}

// Units repeated under the root until the file is 16 MiB (text fills up).
QByteArray shape(int which)
{
    const int per = XmlDocument::kMaxAttributesPerElement;
    QByteArray unit;
    int count = 0;
    switch (which) {
    case 0: // as many elements as allowed, each with a text
        unit = "<a>x</a>", count = XmlDocument::kMaxElements - 1;
        break;
    case 1: // as many comments as allowed
        unit = "<!---->", count = XmlDocument::kMaxElements - 1;
        break;
    case 2: // every attribute allowed, 64 to an element, long values
        count = XmlDocument::kMaxAttributes / per;
        unit = attributes(per, (kFileBytes / count - 8 * per) / per);
        break;
    case 3: // elements and attributes both at their limits
        count = XmlDocument::kMaxElements - 1;
        unit = attributes(1, 1);
        break;
    case 4: // one element with 100,000 attributes (refused)
        unit = attributes(100000, 0), count = 1;
        break;
    case 5: // 16 MiB of processing instructions (refused)
        unit = "<?a?>", count = int(kFileBytes / 5) - 4;
        break;
    }
    QByteArray body = unit.repeated(count);
    const QByteArray open = "<p>", close = "</p>";
    const qsizetype room = kFileBytes - open.size() - close.size() - body.size();
    if (room > 0)
        body += QByteArray(room, 't');
    return open + body + close;
}

void walk(XmlDocument &doc, int depth)
{
    while (doc.findElem()) {
        benchmark::DoNotOptimize(doc.getData());
        if (depth < 3 && doc.intoElem()) {
            walk(doc, depth + 1);
            doc.outOfElem();
        }
    }
}

void BM_LoadWorstProjectFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("worst.brivprj"));
    const QByteArray bytes = shape(int(state.range(0)));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    bool loaded = false;
    for (auto _ : state) {
        XmlDocument doc;
        loaded = doc.load(path);
        if (loaded)
            walk(doc, 0);
    }
    state.counters["bytes"] = double(bytes.size());
    state.counters["loaded"] = loaded ? 1 : 0;
}
BENCHMARK(BM_LoadWorstProjectFile)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
