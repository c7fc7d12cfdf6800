// A deal and a full redraw of the board image, through the real main window.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "game/Generator.h"
#include "ui/Hlavni.h"
#include "ui/Startup.h"

namespace {

void BM_DealAndRedraw(benchmark::State& state) {
  for (auto _ : state) {
    frmMain->btnNovaHraClick();
    benchmark::DoNotOptimize(gameState.board);
  }
}
BENCHMARK(BM_DealAndRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  createWindows();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  destroyWindows();
  return 0;
}
