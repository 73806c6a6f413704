// What the extras cost when used, in a real window: building a delay box's
// menu (the line-edit entries, the four numbers and the table entry) and
// copying the whole delay table to the clipboard. Neither exists before use.
//   cmake --build build --target bench_extras && ./build/bench/bench_extras
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <cstdio>
#include <memory>

#include "calculator_window.h"
#include "extras.h"
#include "layout.h"
#include "looks.h"

namespace {

std::unique_ptr<ui::CalculatorWindow> OpenWindow(const ui::Layout& layout) {
  auto window = std::make_unique<ui::CalculatorWindow>(layout, '.');
  window->tempoBox()->setText(QStringLiteral("133.7"));
  window->show();
  QCoreApplication::processEvents();
  return window;
}

void BM_BuildDelayBoxMenu(benchmark::State& state, int slot) {
  const auto window = OpenWindow(ui::CompactLayout());
  QAction copyTable(QStringLiteral("Copy Delay Table"));  // the window's action, made once
  for (auto _ : state) {
    QMenu* menu = extras::CreateDelayBoxMenu(*window, slot, &copyTable);
    benchmark::DoNotOptimize(menu);
    delete menu;
  }
}
BENCHMARK_CAPTURE(BM_BuildDelayBoxMenu, plain_1_8, 6)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildDelayBoxMenu, dotted_1_2048, 23)->Unit(benchmark::kMicrosecond);

// The menu built, shown where it was asked for and closed again.
void BM_OpenDelayBoxMenu(benchmark::State& state) {
  const auto window = OpenWindow(ui::CompactLayout());
  QWidget* box = window->DelayBox(7);
  QAction copyTable(QStringLiteral("Copy Delay Table"));
  for (auto _ : state) {
    QMenu* menu = extras::CreateDelayBoxMenu(*window, 7, &copyTable);
    menu->popup(box->mapToGlobal(box->rect().center()));
    menu->close();
    delete menu;
  }
}
BENCHMARK(BM_OpenDelayBoxMenu)->Unit(benchmark::kMicrosecond);

// The yardstick: the line edit's own menu, which every text box opens the same way.
void BM_OpenLineEditMenu(benchmark::State& state) {
  const auto window = OpenWindow(ui::CompactLayout());
  auto* box = window->control<QLineEdit>(QStringLiteral("Text1(7)"));
  for (auto _ : state) {
    QMenu* menu = box->createStandardContextMenu();
    menu->popup(box->mapToGlobal(box->rect().center()));
    menu->close();
    delete menu;
  }
}
BENCHMARK(BM_OpenLineEditMenu)->Unit(benchmark::kMicrosecond);

void BM_CopyDelayTable(benchmark::State& state) {
  const auto window = OpenWindow(ui::LargeLayout());
  for (auto _ : state) benchmark::DoNotOptimize(extras::CopyDelayTable(*window));
}
BENCHMARK(BM_CopyDelayTable)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform says on every popup that it cannot grab the
  // keyboard; that says nothing about the figures.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
      return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  QApplication app(argc, argv);
  ui::InitApplication();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
