// SPDX-License-Identifier: MIT
// How long the window's event loop stands still while a plan opens: the 10,000-task plan from
// a file, and a plan from a test server on 127.0.0.1 that holds its answer back for a while
// (20 s by default; NERIN_STALL_DELAY_S sets it). A timer asks the loop every 5 ms, and a key
// press is posted to the chart every 20 ms; `stall_ms` is the longest gap between two timer
// ticks, `key_ms` the longest wait of a key press. StopWhileDownloading presses Stop one
// second into the slow download and reports how long until no load runs (`stop_ms`).
// Run it on a real X server (xvfb-run -a with a window manager): the off-screen platform is
// used only when no display is set.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/chart_canvas.h"
#include "bench/bench_support.h"
#include "app/main_window.h"
#include "app/startup.h"

namespace nerin {
namespace {

const std::string kPlan = std::string(NERIN_BENCH_PLAN_DIR) + "/plan10000.xml";

int DelaySeconds() {
  const char* given = std::getenv("NERIN_STALL_DELAY_S");
  return given != nullptr ? std::max(0, std::atoi(given)) : 20;
}

// One answer on 127.0.0.1 after `delay`: the plan's bytes as an HTTP response. It stops by
// itself once answered, or when dropped.
class SlowServer {
 public:
  SlowServer(std::string body, std::chrono::milliseconds delay) : body_(std::move(body)), delay_(delay) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~SlowServer() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    if (thread_.joinable()) thread_.join();
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/plan10000.xml"; }

 private:
  void Serve() {
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    char request[4096];
    (void)::recv(client, request, sizeof request, 0);
    const auto until = std::chrono::steady_clock::now() + delay_;
    while (!stop_ && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!stop_) {
      const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
                               std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n";
      std::string answer = head + body_;
      std::size_t sent = 0;
      while (sent < answer.size()) {
        const ssize_t n = ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
    }
    ::close(client);
  }

  std::string body_;
  std::chrono::milliseconds delay_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Watches the event loop while it lives: the longest gap between ticks of a 5 ms timer, and
// the longest wait of a key press that another thread posts to the chart every 20 ms, as a
// display server would deliver it.
class StallWatch : public QObject {
 public:
  explicit StallWatch(QWidget* target) : target_(target) {
    clock_.start();
    ticks_.setInterval(5);
    connect(&ticks_, &QTimer::timeout, this, [this] {
      const qint64 now = clock_.elapsed();
      stall_ = std::max(stall_, now - lastTick_ - 5);
      lastTick_ = now;
    });
    target_->installEventFilter(this);
    lastTick_ = clock_.elapsed();
    ticks_.start();
    poster_ = std::thread([this] {
      while (!stop_) {
        auto* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_F13, Qt::NoModifier);
        key->setTimestamp(static_cast<quint64>(clock_.elapsed()));
        QCoreApplication::postEvent(target_, key);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
  }
  ~StallWatch() override {
    stop_ = true;
    poster_.join();
    QCoreApplication::removePostedEvents(target_, QEvent::KeyPress);
    target_->removeEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == target_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F13) {
      const auto sent = static_cast<qint64>(static_cast<QKeyEvent*>(event)->timestamp());
      key_ = std::max(key_, clock_.elapsed() - sent);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
  qint64 Stall() const { return stall_; }
  qint64 Key() const { return key_; }

 private:
  QWidget* target_;
  QElapsedTimer clock_;
  QTimer ticks_;
  qint64 lastTick_ = 0;
  qint64 stall_ = 0;
  qint64 key_ = 0;
  std::atomic<bool> stop_{false};
  std::thread poster_;
};

// Runs the event loop until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    // Waits for the next event (the watch's timer ticks every 5 ms) rather than spinning.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

struct Viewer {
  std::unique_ptr<MainWindow> window;
};

std::unique_ptr<Viewer> StartedViewer() {
  auto viewer = std::make_unique<Viewer>();
  viewer->window = StartViewer({});
  if (viewer->window == nullptr) return nullptr;
  viewer->window->resize(1400, 860);
  PumpUntil([] { return false; }, 300);
  return viewer;
}

void Report(benchmark::State& state, const StallWatch& watch) {
  state.counters["stall_ms"] = static_cast<double>(watch.Stall());
  state.counters["key_ms"] = static_cast<double>(watch.Key());
}

// Opens `source` in a started window and runs the loop until the plan is shown.
void StallWhileOpening(benchmark::State& state, const std::function<std::string()>& source, int timeoutMs) {
  for (auto _ : state) {
    const std::unique_ptr<Viewer> viewer = StartedViewer();
    if (viewer == nullptr) {
      state.SkipWithError("the window did not start");
      return;
    }
    const std::string what = source();
    StallWatch watch(viewer->window->Controls().ChartCanvas);
    PumpUntil([] { return false; }, 100);
    const auto start = std::chrono::steady_clock::now();
    viewer->window->OpenFromCommandLine({what});
    const bool shown = PumpUntil([&] { return viewer->window->Session().ShownPlan().ProjectLoaded; }, timeoutMs);
    PumpUntil([] { return false; }, 100);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!shown) state.SkipWithError("the plan was not shown");
    Report(state, watch);
  }
}

void OpenLargePlan(benchmark::State& state) {
  StallWhileOpening(state, [] { return kPlan; }, 30000);
}

void DownloadFromSlowServer(benchmark::State& state) {
  const SlowServer server(bench::BenchPlanText("plan10000.xml"), std::chrono::seconds(DelaySeconds()));
  StallWhileOpening(state, [&] { return server.Address(); }, (DelaySeconds() + 30) * 1000);
}

// Stop pressed one second into the slow download: how long until the window is back to the
// plan it showed, with the load ended.
void StopWhileDownloading(benchmark::State& state) {
  const SlowServer server(bench::BenchPlanText("plan10000.xml"), std::chrono::seconds(DelaySeconds()));
  for (auto _ : state) {
    const std::unique_ptr<Viewer> viewer = StartedViewer();
    if (viewer == nullptr) {
      state.SkipWithError("the window did not start");
      return;
    }
    StallWatch watch(viewer->window->Controls().ChartCanvas);
    viewer->window->OpenFromCommandLine({server.Address()});
    PumpUntil([] { return false; }, 1000);
    const auto start = std::chrono::steady_clock::now();
    viewer->window->RunCommand(Command::Stop);
    const bool stopped = PumpUntil([&] { return !viewer->window->Loading(); }, 5000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.counters["stop_ms"] = seconds * 1000.0;
    if (!stopped) state.SkipWithError("the load did not stop");
    Report(state, watch);
  }
}

BENCHMARK(OpenLargePlan)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(DownloadFromSlowServer)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(StopWhileDownloading)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nerin

int main(int argc, char** argv) {
  // A real X server where there is one: the stalls of a real window are what is measured.
  return nerin::bench::RunQtBenchmarks<QApplication>(argc, argv, true);
}
