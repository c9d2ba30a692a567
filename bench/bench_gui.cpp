// The GUI's start-up against the virtual card: from nothing to the main
// window shown with the demo project, then the card search under the
// progress dialog up to its result (the user's "确定" is pressed as soon as
// the search has finished, so the figure holds no reaction time). The first
// run pays for the fonts and icons of the process; later runs show the
// window's own cost. The search itself waits 200 ms for the dialog's timer
// and 100 ms between identification and the screen parameters.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "link/PortNaming.h"
#include "model/CardSession.h"
#include "sim/VirtualCard.h"
#include "ui/ProgressDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

QString demoProject()
{
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
           QStringLiteral("/../examples/demo.brivprj");
}

// Presses "确定" once the job of the open progress dialog has finished.
class OkPresser {
public:
    OkPresser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            auto *dialog = qobject_cast<ProgressDialog *>(QApplication::activeModalWidget());
            if (dialog && dialog->jobStarted() && dialog->okButton()->isEnabled() &&
                !dialog->cancelButton()->isEnabled())
                dialog->okButton()->click();
        });
        m_timer.start(1);
    }

private:
    QTimer m_timer;
};

void runStartUp(benchmark::State &state)
{
    VirtualCard card;
    if (!card.start()) {
        state.SkipWithError("no virtual card");
        return;
    }
    card.setLineSpeed(57600);
    PortNaming::setExplicitDevices({card.devicePath()});
    OkPresser presser;
    double shownMs = 0;
    double totalMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        MainWindow window(demoProject());
        window.show();
        QApplication::processEvents();
        shownMs += double(timer.nsecsElapsed()) / 1e6;
        window.start();
        totalMs += double(timer.nsecsElapsed()) / 1e6;
        if (window.card().port() != 1)
            state.SkipWithError("the card was not found");
    }
    const double runs = double(state.iterations());
    state.counters["shown_ms"] = shownMs / runs;
    state.counters["searched_ms"] = totalMs / runs;
    PortNaming::setExplicitDevices({});
    card.stop();
}

void BM_FirstStartUp(benchmark::State &state)
{
    runStartUp(state);
}
BENCHMARK(BM_FirstStartUp)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartUp(benchmark::State &state)
{
    runStartUp(state);
}
BENCHMARK(BM_StartUp)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Application::setUpToolkit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
